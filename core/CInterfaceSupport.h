// How arguments and results cross the C interface (CInterface.cpp). A Param
// turns a C argument into the C++ one that the library's function takes and, at
// the end of the call's full expression, writes what the function left in it
// back into the caller's memory.
#pragma once

#include <algorithm>
#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

#include "CallNotes.h"
#include "TrassoJkn.h"
#include "TrassoJknC.h"
#include "WriteStatus.h"

struct JknAntennaList {
  AntennaCatalogue entries;
};

namespace trasso::c {

JknStatus toC(WriteStatus s);

// snprintf-like: at most capacity bytes with the NUL; the full length.
inline size_t copyOut(const std::string& s, char* buffer, size_t capacity) {
  if (buffer && capacity > 0) {
    const size_t n = std::min(s.size(), capacity - 1);
    std::memcpy(buffer, s.data(), n);
    buffer[n] = '\0';
  }
  return s.size();
}

// The value a JknText holds on entry.
inline std::string textIn(const JknText* t) {
  if (!t || !t->buffer || t->capacity == 0) return {};
  const void* nul = std::memchr(t->buffer, '\0', t->capacity);
  return std::string(t->buffer, nul ? static_cast<const char*>(nul) - t->buffer : t->capacity);
}
inline void textOut(const std::string& s, JknText* t) {
  if (!t) return;
  t->length = copyOut(s, t->buffer, t->capacity);
}

template <class T>
class Param;

// A number by reference: the caller's; NULL gets a place of its own.
template <class T>
class Param<T&> {
 public:
  explicit Param(T* p) : p_(p ? p : &own_) {}
  T& get() { return *p_; }

 private:
  T own_{};
  T* p_;
};

template <class T>
class Param<T*> {
 public:
  explicit Param(T* p) : p_(p) {}
  T* get() { return p_; }

 private:
  T* p_;
};

template <>
class Param<std::string&> {
 public:
  explicit Param(JknText* t) : t_(t), value_(textIn(t)) {}
  ~Param() { textOut(value_, t_); }
  Param(const Param&) = delete;
  Param& operator=(const Param&) = delete;
  std::string& get() { return value_; }

 private:
  JknText* t_;
  std::string value_;
};

inline RTK_CONNECT_PROP fromC(const JknRtkConnectProp& c) {
  return RTK_CONNECT_PROP{c.Radio, c.Hosei, c.FlowCTS, c.PortNo, c.BaudRate, c.Parity};
}

template <>
class Param<const RTK_CONNECT_PROP&> {
 public:
  explicit Param(const JknRtkConnectProp* c) : value_(c ? fromC(*c) : RTK_CONNECT_PROP{}) {}
  const RTK_CONNECT_PROP& get() const { return value_; }

 private:
  RTK_CONNECT_PROP value_;
};

template <>
class Param<RTK_CONNECT_PROP&> {
 public:
  explicit Param(JknRtkConnectProp* c) : c_(c), value_(c ? fromC(*c) : RTK_CONNECT_PROP{}) {}
  ~Param() {
    if (c_)
      *c_ = JknRtkConnectProp{value_.Radio,  value_.Hosei,    value_.FlowCTS,
                              value_.PortNo, value_.BaudRate, value_.Parity};
  }
  Param(const Param&) = delete;
  Param& operator=(const Param&) = delete;
  RTK_CONNECT_PROP& get() { return value_; }

 private:
  JknRtkConnectProp* c_;
  RTK_CONNECT_PROP value_;
};

inline QZ_AntennaRec fromC(const JknAntennaRec& c) {
  return QZ_AntennaRec{
      c.ID,    c.Sensor, textIn(&c.Name), textIn(&c.CharCode), textIn(&c.Bmp), textIn(&c.SensorBmp),
      c.Offset};
}
inline void toC(const QZ_AntennaRec& r, JknAntennaRec& c) {
  c.ID = r.ID;
  c.Sensor = r.Sensor;
  textOut(r.Name, &c.Name);
  textOut(r.CharCode, &c.CharCode);
  textOut(r.Bmp, &c.Bmp);
  textOut(r.SensorBmp, &c.SensorBmp);
  c.Offset = r.Offset;
}

template <>
class Param<QZ_AntennaRec&> {
 public:
  explicit Param(JknAntennaRec* c) : c_(c), value_(c ? fromC(*c) : QZ_AntennaRec{}) {}
  ~Param() {
    if (c_) toC(value_, *c_);
  }
  Param(const Param&) = delete;
  Param& operator=(const Param&) = delete;
  QZ_AntennaRec& get() { return value_; }

 private:
  JknAntennaRec* c_;
  QZ_AntennaRec value_;
};

template <>
class Param<CompanyRec*> {
 public:
  explicit Param(JknCompanyRec* c) : c_(c) {
    if (!c) return;
    value_.Name = textIn(&c->Name);
    value_.Address = textIn(&c->Address);
    value_.Index = c->Index;
    value_.Sct = c->Sct;
    if (c->Ports) {
      value_.Ports.assign(c->Ports, c->Ports + std::min(c->PortsCount, c->PortsCapacity));
    }
  }
  ~Param() {
    if (!c_) return;
    textOut(value_.Name, &c_->Name);
    textOut(value_.Address, &c_->Address);
    c_->Index = value_.Index;
    c_->Sct = value_.Sct;
    if (c_->Ports) {
      std::copy_n(value_.Ports.begin(), std::min(value_.Ports.size(), c_->PortsCapacity),
                  c_->Ports);
    }
    c_->PortsCount = value_.Ports.size();
  }
  Param(const Param&) = delete;
  Param& operator=(const Param&) = delete;
  CompanyRec* get() { return c_ ? &value_ : nullptr; }

 private:
  JknCompanyRec* c_;
  CompanyRec value_;
};

template <>
class Param<NTripRec*> {
 public:
  explicit Param(JknNTripRec* c) : c_(c) {
    if (c) value_ = NTripRec{c->Id, textIn(&c->NText), textIn(&c->MText), c->XValue};
  }
  ~Param() {
    if (!c_) return;
    c_->Id = value_.Id;
    textOut(value_.NText, &c_->NText);
    textOut(value_.MText, &c_->MText);
    c_->XValue = value_.XValue;
  }
  Param(const Param&) = delete;
  Param& operator=(const Param&) = delete;
  NTripRec* get() { return c_ ? &value_ : nullptr; }

 private:
  JknNTripRec* c_;
  NTripRec value_;
};

template <>
class Param<AntennaCatalogue*> {
 public:
  explicit Param(JknAntennaList* list) : list_(list) {}
  AntennaCatalogue* get() { return list_ ? &list_->entries : nullptr; }

 private:
  JknAntennaList* list_;
};

// ---- What a call tells its caller: the status and jkn_last_error ----

// Makes message the thread's last error and returns status.
JknStatus failed(JknStatus status, const std::string& message) noexcept;

// The status a setter's call comes to: an argument that named nothing
// (misuse), else the cause of a failed write, else values that read back
// otherwise, else done.
JknStatus callStatus(WriteStatus s, const CallNotes& notes);
// The message of that status; call is the call as written ("F(1, 20)").
std::string callMessage(JknStatus status, WriteStatus s, const CallNotes& notes,
                        const char* function, const std::string& call);

// An argument as a message shows it: numbers as C writes them, texts quoted
// (long ones cut), pointers as NULL or "&...".
std::string argText(const char* text);
std::string argText(double v);
std::string argText(bool v);
std::string argText(long long v);
std::string argText(unsigned long long v);
template <class T>
std::string argText(T v) {
  if constexpr (std::is_pointer_v<T>) {
    return v == nullptr ? "NULL" : "&...";
  } else if constexpr (std::is_signed_v<T>) {
    return argText(static_cast<long long>(v));
  } else {
    return argText(static_cast<unsigned long long>(v));
  }
}

template <class... A>
std::string callText(const char* function, const A&... args) {
  std::string out;
  ((out += ", " + argText(args)), ...);
  return std::string(function) + "(" + (out.empty() ? out : out.substr(2)) + ")";
}

// A text output that takes a buffer: NULL is allowed with capacity 0 only.
JknStatus badBuffer(const char* function, const char* buffer, size_t capacity);
// A call whose own work could not allocate: the message says so, if it can.
JknStatus outOfMemory();

// A name that names no setting: JKN_UNKNOWN_SETTING, with a message that names it.
JknStatus unknownSetting(const char* name) noexcept;

// A NULL record: misuse, nothing written.
JknStatus nullArgument(const char* function, const char* argument) noexcept;

template <class Text>
JknStatus finish(WriteStatus s, const CallNotes& notes, const char* function,
                 Text&& call) noexcept {
  try {
    const JknStatus status = callStatus(s, notes);
    if (status == JKN_OK) return status;
    return failed(status, callMessage(status, s, notes, function, call()));
  } catch (...) {  // out of memory: the status without its message
    return toC(succeeded(s) ? WriteStatus::IoError : s);
  }
}

// The status of the writes of function's call (run, with args), and of what
// it noted.
template <class Call, class... A>
JknStatus statusOf(const char* function, Call&& run, const A&... args) noexcept {
  const CallNotes notes;
  const WriteStatus s = trasso::statusOf(run);
  return finish(s, notes, function, [&] { return callText(function, args...); });
}

// The call's own result; its status into *status when asked for.
template <class Call, class... A>
auto reporting(JknStatus* status, const char* function, Call&& run, const A&... args) noexcept {
  decltype(run()) result{};
  const CallNotes notes;
  const WriteStatus s = trasso::statusOf([&] { result = run(); });
  const JknStatus st = finish(s, notes, function, [&] { return callText(function, args...); });
  if (status) *status = st;
  return result;
}

}  // namespace trasso::c

/* A C99 program that uses the settings store as its users do: through
 * TrassoJknC.h and the shared library only. In fresh roots of its own it lists,
 * reads, writes and resets settings and checks the settings files byte for
 * byte. Prints one line per failed check and exits with 1 when any failed.
 *
 * Defining JKN_CONSUMER_OWN_DECLARATIONS builds it without the C runtime's
 * headers: the few runtime functions it calls are then declared here. */

#if !defined(_WIN32) && !defined(JKN_CONSUMER_OWN_DECLARATIONS)
#define _POSIX_C_SOURCE 200112L /* setenv */
#endif

#include "TrassoJknC.h"

/* ---- The C runtime functions used, and the platforms' differences ---- */

#if defined(JKN_CONSUMER_OWN_DECLARATIONS)
typedef struct ConsumerFile ConsumerFile;
int printf(const char* format, ...);
ConsumerFile* fopen(const char* path, const char* mode);
size_t fread(void* data, size_t size, size_t count, ConsumerFile* file);
int fclose(ConsumerFile* file);
int remove(const char* path);
char* getenv(const char* name);
#if defined(_WIN32)
int _mkdir(const char* path);
int _rmdir(const char* path);
int _chmod(const char* path, int mode);
int _putenv_s(const char* name, const char* value);
#define CONSUMER_READ_ONLY 0x0100 /* _S_IREAD */
#define CONSUMER_WRITABLE 0x0180  /* _S_IREAD | _S_IWRITE */
#else
int mkdir(const char* path, unsigned int mode);
int rmdir(const char* path);
int chmod(const char* path, unsigned int mode);
int setenv(const char* name, const char* value, int overwrite);
#endif

#else /* the C runtime's own headers */
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#if defined(_WIN32)
#include <direct.h>
#include <io.h>
#define CONSUMER_READ_ONLY _S_IREAD
#define CONSUMER_WRITABLE (_S_IREAD | _S_IWRITE)
#else
#include <unistd.h>
#endif
typedef FILE ConsumerFile;
#endif

#if defined(_WIN32)
#define SEP "\\"
static const char* temp_folder(void) {
  const char* t = getenv("TEMP");
  return t && *t ? t : ".";
}
static int make_folder(const char* path) { return _mkdir(path); }
static int remove_folder(const char* path) { return _rmdir(path); }
/* The read-only attribute. */
static int set_read_only(const char* path, int on) {
  return _chmod(path, on ? CONSUMER_READ_ONLY : CONSUMER_WRITABLE);
}
static int set_variable(const char* name, const char* value) { return _putenv_s(name, value); }
#else
#define SEP "/"
static const char* temp_folder(void) {
  const char* t = getenv("TMPDIR");
  return t && *t ? t : "/tmp";
}
static int make_folder(const char* path) { return mkdir(path, 0700); }
static int remove_folder(const char* path) { return rmdir(path); }
/* Permission bits; the library refuses such a file even to root. */
static int set_read_only(const char* path, int on) { return chmod(path, on ? 0444 : 0644); }
static int set_variable(const char* name, const char* value) { return setenv(name, value, 1); }
#endif

/* ---- Small helpers: texts, reporting, files ---- */

static const char* g_section = "";
static int g_failures;

static size_t text_length(const char* s) {
  size_t n = 0;
  while (s[n]) ++n;
  return n;
}

static int same_bytes(const char* a, const char* b, size_t n) {
  size_t i;
  for (i = 0; i < n; ++i) {
    if (a[i] != b[i]) return 0;
  }
  return 1;
}

static int same_text(const char* a, const char* b) {
  size_t n = text_length(a);
  return n == text_length(b) && same_bytes(a, b, n);
}

/* a, b and c one after the other in out (cut to its size). */
static const char* words(char* out, size_t capacity, const char* a, const char* b, const char* c) {
  const char* parts[3];
  size_t n = 0;
  int i;
  parts[0] = a;
  parts[1] = b;
  parts[2] = c;
  for (i = 0; i < 3; ++i) {
    const char* p = parts[i];
    while (p && *p && n + 1 < capacity) out[n++] = *p++;
  }
  out[n] = '\0';
  return out;
}

static const char* decimal(char out[24], long long v) {
  char digits[24];
  unsigned long long u = v < 0 ? 0ULL - (unsigned long long)v : (unsigned long long)v;
  size_t n = 0, i = 0;
  do {
    digits[n++] = (char)('0' + u % 10);
    u /= 10;
  } while (u);
  if (v < 0) out[i++] = '-';
  while (n) out[i++] = digits[--n];
  out[i] = '\0';
  return out;
}

/* bytes as a quoted C text (line breaks and bytes outside ASCII escaped). */
static const char* shown(char* out, size_t capacity, const char* bytes, size_t n) {
  static const char hex[] = "0123456789ABCDEF";
  size_t i, o = 0;
  if (!bytes) return words(out, capacity, "(none)", 0, 0);
  out[o++] = '"';
  for (i = 0; i < n && o + 6 < capacity; ++i) {
    const unsigned char c = (unsigned char)bytes[i];
    if (c == '\r' || c == '\n') {
      out[o++] = '\\';
      out[o++] = c == '\r' ? 'r' : 'n';
    } else if (c < 0x20 || c >= 0x7F || c == '"' || c == '\\') {
      out[o++] = '\\';
      out[o++] = 'x';
      out[o++] = hex[c >> 4];
      out[o++] = hex[c & 15];
    } else {
      out[o++] = (char)c;
    }
  }
  out[o++] = '"';
  out[o] = '\0';
  return out;
}

static void fail(const char* what, const char* got, const char* want) {
  ++g_failures;
  printf("FAIL [%s] %s: got %s, expected %s\n", g_section, what, got, want);
}

static void check(const char* what, int ok) {
  if (!ok) {
    ++g_failures;
    printf("FAIL [%s] %s\n", g_section, what);
  }
}

static void check_number(const char* what, long long got, long long want) {
  char a[24], b[24];
  if (got != want) fail(what, decimal(a, got), decimal(b, want));
}

static void check_status(const char* what, JknStatus got, JknStatus want) {
  if (got != want) fail(what, jkn_status_text(got), jkn_status_text(want));
}

/* got (n bytes; NULL: none) against the NUL-terminated want (NULL: none). */
static void check_bytes(const char* what, const char* got, size_t n, const char* want) {
  char a[1200], b[1200];
  const int same = got && want ? n == text_length(want) && same_bytes(got, want, n) : !got && !want;
  if (!same)
    fail(what, shown(a, sizeof a, got, n), shown(b, sizeof b, want, want ? text_length(want) : 0));
}

static void check_text(const char* what, const char* got, const char* want) {
  check_bytes(what, got, got ? text_length(got) : 0, want);
}

/* A new empty file. */
static int make_file(const char* path) {
  ConsumerFile* f = fopen(path, "wb");
  return f && fclose(f) == 0;
}

/* The whole file into out (at most capacity bytes); 0 when it cannot be opened. */
static int read_file(const char* path, char* out, size_t capacity, size_t* length) {
  ConsumerFile* f = fopen(path, "rb");
  if (!f) return 0;
  *length = fread(out, 1, capacity, f);
  fclose(f);
  return 1;
}

/* ---- Fresh roots for each section, and what their files must hold ---- */

/* The files the sections write, all in root 0's "inf" folder. */
enum FileId {
  F_GNSS,
  F_GNSS_RTK,
  F_NMEA,
  F_TS,
  F_DEF_TS,
  F_DEF_SHARE,
  F_DEF_NMEA,
  F_ZETR,
  F_PL30,
  F_PROFILE, /* a profile the caller names */
  FILE_COUNT
};
static const char* const kFileNames[FILE_COUNT] = {
    "jkn-gnss.ini",  "jkn-gnss-rtk.ini", "jkn-nmea.ini", "jkn-ts.ini",   "def-ts.ini",
    "def-share.ini", "def-nmea.ini",     "jkn-zetr.ini", "jkn-pl30.ini", "survey-7.ini"};
/* A folder made where the settings file "def-gnss.ini" belongs. */
static const char kFolderAsFile[] = "def-gnss.ini";
/* A root beside the two whose "inf" is a file. */
static const char kPlainRoot[] = "plain-root";
/* What each file must hold now; NULL: it must not exist. */
static const char* g_expected[FILE_COUNT];

static char g_base[300];
static char g_root[2][320];
static char g_inf[2][340];

static const char* inf_file(char* out, size_t capacity, int root, const char* name) {
  return words(out, capacity, g_inf[root], SEP, name);
}

/* Every file of the table against g_expected. */
static void check_files(const char* when) {
  static char bytes[4096];
  char path[400], what[200];
  int id;
  for (id = 0; id < FILE_COUNT; ++id) {
    size_t n = 0;
    const int found =
        read_file(inf_file(path, sizeof path, 0, kFileNames[id]), bytes, sizeof bytes, &n);
    check_bytes(words(what, sizeof what, kFileNames[id], " ", when), found ? bytes : 0, n,
                g_expected[id]);
  }
}

/* A new base folder in the temporary folder with two roots and their "inf"
 * folders, named by the variables the library reads. */
static int make_roots(void) {
  char number[24], name[64];
  int n, r;
  for (n = 0; n < 100000; ++n) {
    words(name, sizeof name, SEP "trasso-c-consumer-", decimal(number, n), 0);
    if (make_folder(words(g_base, sizeof g_base, temp_folder(), name, 0)) == 0) break;
  }
  if (n == 100000) return 0;
  for (r = 0; r < 2; ++r) {
    words(g_root[r], sizeof g_root[r], g_base, SEP "root", decimal(number, r));
    words(g_inf[r], sizeof g_inf[r], g_root[r], SEP "inf", 0);
    if (make_folder(g_root[r]) != 0 || make_folder(g_inf[r]) != 0) return 0;
  }
  return set_variable("KORVEL_APPDATA_0", g_root[0]) == 0 &&
         set_variable("KORVEL_APPDATA_1", g_root[1]) == 0;
}

/* Removes the files of the table and the folders; anything else a call made
 * stays, and its folder with it. */
static void remove_roots(void) {
  char path[400];
  int r, id;
  for (r = 0; r < 2; ++r) {
    for (id = 0; id < FILE_COUNT; ++id) {
      inf_file(path, sizeof path, r, kFileNames[id]);
      set_read_only(path, 0);
      remove(path);
    }
    remove_folder(inf_file(path, sizeof path, r, kFolderAsFile));
    if (remove_folder(g_inf[r]) != 0 || remove_folder(g_root[r]) != 0) {
      check(words(path, sizeof path, "no file or folder but those of the table is left in ",
                  g_root[r], 0),
            0);
    }
  }
  words(path, sizeof path, g_base, SEP, kPlainRoot);
  remove(words(path, sizeof path, path, SEP "inf", 0));
  remove_folder(words(path, sizeof path, g_base, SEP, kPlainRoot));
  if (remove_folder(g_base) != 0) {
    check(words(path, sizeof path, "nothing but the roots is left in ", g_base, 0), 0);
  }
}

/* ---- Sections ---- */

/* Settings and their texts of a fresh store. */
struct ValueRow {
  const char* name;
  const char* selector;
  const char* value;
};

static const struct ValueRow kDefaults[] = {
    {"GNSS_NTripP", 0, "1104"},
    {"GNSS_MaskElev", "svy", "15"},
    {"gnss_masksate", "0", "11"}, /* names and selectors in any case */
    {"GNSS_COMM_or_BT", "SVY", "1"},
    {"NMEA_BaudRate", "", "19200"},
    {"TS_UseScaleValue", 0, "1"},
    {"TS_Psm", "7", "-000mm\x81\x46(\x96\xbc\x91\x4f\x8e\x77\x92\xe8\x82\xc8\x82\xb5)"},
    {"Use", "13", "1"},
    {"LogColor", 0, "128,128,255"},
    {"PL30_Sch_HRangeRad", 0, "0.03490658503988659"},
    {"RectObsWide", 0, "0.5"},
    {"Memo", "9", ""},
};

static void registry(void) {
  const size_t count = jkn_setting_count();
  const char* known[] = {"GNSS_Page",      "NMEA_BaudRate", "TS_Psm",
                         "ZETR_Npr_Value", "Use",           "LogColor"};
  char what[200], value[400];
  size_t i, j, k, length;
  check("the registry lists settings", count > 100);
  check("no name past the end", jkn_setting_name(count) == 0);
  check("no name far past the end", jkn_setting_name((size_t)-1) == 0);
  for (k = 0; k < sizeof known / sizeof known[0]; ++k) {
    int found = 0;
    for (i = 0; i < count; ++i)
      found += jkn_setting_name(i) && same_text(jkn_setting_name(i), known[k]);
    check(words(what, sizeof what, "listed once: ", known[k], 0), found == 1);
  }
  for (i = 0; i < count; ++i) {
    const char* name = jkn_setting_name(i);
    JknStatus s;
    if (!name || !*name) {
      check("every index below the count has a name", 0);
      continue;
    }
    for (j = 0; j < i; ++j) {
      if (same_text(name, jkn_setting_name(j)))
        check(words(what, sizeof what, "listed twice: ", name, 0), 0);
    }
    /* Entries, items and file ids need a selector; 0 is one of each. */
    s = jkn_get(name, 0, value, sizeof value, &length);
    if (s == JKN_BAD_SELECTOR) s = jkn_get(name, "0", value, sizeof value, &length);
    check_status(words(what, sizeof what, "get ", name, 0), s, JKN_OK);
    if (s == JKN_OK)
      check_number(words(what, sizeof what, "length of ", name, 0), (long long)length,
                   (long long)text_length(value));
  }
  for (k = 0; k < sizeof kDefaults / sizeof kDefaults[0]; ++k) {
    const struct ValueRow* row = &kDefaults[k];
    value[0] = '#';
    check_status(words(what, sizeof what, "get ", row->name, 0),
                 jkn_get(row->name, row->selector, value, sizeof value, 0), JKN_OK);
    check_text(words(what, sizeof what, row->name, " of a fresh store", 0), value, row->value);
  }
  check_files("after reading every setting");
}

/* A write by name, or a reset when value is NULL, and what follows from it. */
struct WriteRow {
  const char* name;
  const char* selector; /* "*": the caller-named profile's path */
  const char* value;
  const char* read; /* what jkn_get gives afterwards */
  int file;
  const char* bytes; /* the file afterwards; NULL: there is none */
};

static const struct WriteRow kWrites[] = {
    {"GNSS_Page", 0, "3", "3", F_GNSS, "[GNSS]\r\nPage=3\r\n"},
    {"GNSS_MaskElev", "svy", "-5", "-5", F_GNSS, "[GNSS]\r\nPage=3\r\nMaskElev_Svy=-5\r\n"},
    {"GNSS_MaskElev", "plain", "+20", "20", F_GNSS,
     "[GNSS]\r\nPage=3\r\nMaskElev_Svy=-5\r\nMaskElev=20\r\n"},
    {"GNSS_Page", "", "-2147483648", "-2147483648", F_GNSS,
     "[GNSS]\r\nPage=-2147483648\r\nMaskElev_Svy=-5\r\nMaskElev=20\r\n"},
    {"GNSS_COMM_or_BT", "1", "0", "0", F_GNSS,
     "[GNSS]\r\nPage=-2147483648\r\nMaskElev_Svy=-5\r\nMaskElev=20\r\nConnectComm_Svy=0\r\n"},
    /* Code page 932 bytes are stored as given; an empty text is a key too. */
    {"GNSS_Address", 0, "\x93\x8c\x8b\x9e\x93\x73", "\x93\x8c\x8b\x9e\x93\x73", F_GNSS,
     "[GNSS]\r\nPage=-2147483648\r\nMaskElev_Svy=-5\r\nMaskElev=20\r\nConnectComm_Svy=0\r\n"
     "Address=\x93\x8c\x8b\x9e\x93\x73\r\n"},
    {"GNSS_UserID", 0, "", "", F_GNSS,
     "[GNSS]\r\nPage=-2147483648\r\nMaskElev_Svy=-5\r\nMaskElev=20\r\nConnectComm_Svy=0\r\n"
     "Address=\x93\x8c\x8b\x9e\x93\x73\r\nUserID=\r\n"},
    {"NMEA_BaudRate", 0, "4294967295", "4294967295", F_NMEA, "[NMEA]\r\nBaudRate=4294967295\r\n"},
    /* The interval is stored as a signed number. */
    {"NMEA_Interval", 0, "4294967295", "4294967295", F_NMEA,
     "[NMEA]\r\nBaudRate=4294967295\r\nInterval=-1\r\n"},
    {"TS_UseScaleValue", 0, "1.5", "1.5", F_TS, "[TS]\r\nUseScaleValue=1.500000\r\n"},
    {"TS_Psm", "3", "-030mm:A 1", "-030mm:A 1", F_DEF_TS, "[Psm]\r\n3=-030mm:A 1\r\n"},
    {"SksNormColor", 0, "1,2,3", "1,2,3", F_DEF_SHARE, "[SKSG]\r\nNCOL=  1,  2,  3\r\n"},
    {"RectObsWide", 0, "2.25", "2.25", F_DEF_SHARE,
     "[SKSG]\r\nNCOL=  1,  2,  3\r\n[RCOB]\r\nWIDE=2.250\r\n"},
    {"Use", "13", "0", "0", F_DEF_NMEA, "[Use]\r\nAntn=0\r\n"},
    {"ZETR_Npr_Value", 0, "99", "99", F_ZETR, "[NPR]\r\nVAL=99\r\n"},
    {"ZETR_Aut_Time", "*", "3", "3", F_PROFILE, "[AUT]\r\nTIM=3\r\n"},
    /* Resets remove the key and nothing else; the getter gives the default. */
    {"GNSS_MaskElev", "svy", 0, "15", F_GNSS,
     "[GNSS]\r\nPage=-2147483648\r\nMaskElev=20\r\nConnectComm_Svy=0\r\n"
     "Address=\x93\x8c\x8b\x9e\x93\x73\r\nUserID=\r\n"},
    {"GNSS_Address", 0, 0, "", F_GNSS,
     "[GNSS]\r\nPage=-2147483648\r\nMaskElev=20\r\nConnectComm_Svy=0\r\nUserID=\r\n"},
    {"GNSS_Address", 0, 0, "", F_GNSS, /* nothing left to remove */
     "[GNSS]\r\nPage=-2147483648\r\nMaskElev=20\r\nConnectComm_Svy=0\r\nUserID=\r\n"},
    {"NMEA_BaudRate", 0, 0, "19200", F_NMEA, "[NMEA]\r\nInterval=-1\r\n"},
    {"NMEA_Interval", 0, 0, "1000", F_NMEA, "[NMEA]\r\n"},
    {"SksNormColor", 0, 0, "153,153,255", F_DEF_SHARE, "[SKSG]\r\n[RCOB]\r\nWIDE=2.250\r\n"},
    {"ZETR_Aut_Time", "*", 0, "2", F_PROFILE, "[AUT]\r\n"},
    {"PL30_Npr_Value", 0, 0, "1", F_PL30, 0}, /* a reset makes no file */
};

static void writes(void) {
  char profile[400], what[200], value[400];
  size_t k;
  inf_file(profile, sizeof profile, 0, kFileNames[F_PROFILE]);
  for (k = 0; k < sizeof kWrites / sizeof kWrites[0]; ++k) {
    const struct WriteRow* row = &kWrites[k];
    const char* selector = row->selector && same_text(row->selector, "*") ? profile : row->selector;
    const char* call = row->value ? "set " : "reset ";
    const JknStatus s =
        row->value ? jkn_set(row->name, selector, row->value) : jkn_reset(row->name, selector);
    check_status(words(what, sizeof what, call, row->name, 0), s, JKN_OK);
    value[0] = '#';
    check_status(words(what, sizeof what, "get ", row->name, 0),
                 jkn_get(row->name, selector, value, sizeof value, 0), JKN_OK);
    check_text(words(what, sizeof what, row->name, " after ", call), value, row->read);
    g_expected[row->file] = row->bytes;
    check_files(words(what, sizeof what, "after ", call, row->name));
  }
}

/* Calls by name the store refuses; none of them changes a file. */
enum Call { SET, RESET, GET };
struct RefusedRow {
  enum Call call;
  const char* name;
  const char* selector;
  const char* value;
  JknStatus status;
};

static const struct RefusedRow kRefused[] = {
    {SET, "GNSS_Pages", 0, "1", JKN_UNKNOWN_SETTING},
    {SET, 0, 0, "1", JKN_MISUSE},
    {GET, 0, 0, 0, JKN_MISUSE},
    {GET, "", 0, 0, JKN_UNKNOWN_SETTING},
    {RESET, "GNSS", 0, 0, JKN_UNKNOWN_SETTING},
    {SET, "GNSS_Page", "plain", "1", JKN_BAD_SELECTOR}, /* takes none */
    {SET, "GNSS_MaskElev", "2", "1", JKN_BAD_SELECTOR},
    {RESET, "GNSS_MaskElev", "survey", 0, JKN_BAD_SELECTOR},
    {GET, "TS_Psm", 0, 0, JKN_BAD_SELECTOR}, /* needs an entry */
    {SET, "TS_Psm", "first", "x", JKN_BAD_SELECTOR},
    {GET, "Use", "25", 0, JKN_BAD_SELECTOR}, /* an unassigned item */
    {SET, "GNSS_Page", 0, "", JKN_BAD_VALUE},
    {SET, "GNSS_Password", 0, " secret", JKN_BAD_VALUE}, /* would read back without the blank */
    {SET, "GNSS_Password", 0, "\"secret\"", JKN_BAD_VALUE},
    {SET, "GNSS_Page", 0, "12a", JKN_BAD_VALUE},
    {SET, "GNSS_Page", 0, " 12", JKN_BAD_VALUE},
    {SET, "GNSS_Page", 0, "2147483648", JKN_BAD_VALUE},
    {SET, "GNSS_MaskSate", 0, "65536", JKN_BAD_VALUE},
    {SET, "GNSS_BtPort", 0, "-1", JKN_BAD_VALUE},
    {SET, "GNSS_COMM_or_BT", 0, "2", JKN_BAD_VALUE},
    {SET, "SksNormColor", 0, "256,0,0", JKN_BAD_VALUE},
    {SET, "SksNormColor", 0, "1,2", JKN_BAD_VALUE},
    {SET, "TS_UseScaleValue", 0, "1,5", JKN_BAD_VALUE},
    {SET, "TS_UseScaleValue", 0, "nan", JKN_BAD_VALUE},
    {SET, "ZETR_Npr_Value", 0, "100", JKN_OUT_OF_RANGE}, /* the setter's range */
    {SET, "TS_BtDevAddr", 0, "0123456789abcdef0123456789abcdef", JKN_BAD_VALUE}, /* 32 bytes */
    {SET, "GNSS_Address", 0, "line\nbreak", JKN_REFUSED},
    {SET, "GNSS_Address", 0, "line\rbreak", JKN_REFUSED},
    {SET, "LogColor", 0, "1,2,3", JKN_NOT_SETTABLE},
    {RESET, "LogColor", 0, 0, JKN_NOT_SETTABLE},
    {SET, "WavName", "0", "a.wav", JKN_NOT_SETTABLE},
    {SET, "RecMax", 0, "1", JKN_NOT_SETTABLE},
};

static void refused(void) {
  char what[200], value[16];
  size_t k, length;
  check_status("set GNSS_Page", jkn_set("GNSS_Page", 0, "1"), JKN_OK);
  check_status("set NMEA_Port", jkn_set("NMEA_Port", 0, "2"), JKN_OK);
  g_expected[F_GNSS] = "[GNSS]\r\nPage=1\r\n";
  g_expected[F_NMEA] = "[NMEA]\r\nPort=2\r\n";
  for (k = 0; k < sizeof kRefused / sizeof kRefused[0]; ++k) {
    const struct RefusedRow* row = &kRefused[k];
    static const char* const calls[] = {"set ", "reset ", "get "};
    JknStatus s;
    if (row->call == SET) {
      s = jkn_set(row->name, row->selector, row->value);
    } else if (row->call == RESET) {
      s = jkn_reset(row->name, row->selector);
    } else {
      s = jkn_get(row->name, row->selector, value, sizeof value, &length);
    }
    words(what, sizeof what, calls[row->call], row->name ? row->name : "(null)", " ");
    check_status(words(what, sizeof what, what, row->selector ? row->selector : "(no selector)", 0),
                 s, row->status);
  }
  check_files("after the refused calls");
}

/* Text outputs work like snprintf: by name and through a function. */
static size_t mount_by_name(char* buffer, size_t capacity) {
  size_t length = 0;
  check_status("get GNSS_MountPTX", jkn_get("GNSS_MountPTX", 0, buffer, capacity, &length), JKN_OK);
  return length;
}
static size_t mount_by_function(char* buffer, size_t capacity) {
  return jkn_GetQZJkn_GNSS_MountPTX(buffer, capacity);
}

static void cut_texts(void) {
  /* Six bytes, three double-byte characters; a cut may split one. */
  static const char mount[] = "\x93\x8c\x8b\x9e\x93\x73";
  static const struct {
    size_t capacity;
    const char* seen;
  } cuts[] = {
      {0, ""},    {1, ""},    {2, "\x93"}, {5, "\x93\x8c\x8b\x9e"}, {6, "\x93\x8c\x8b\x9e\x93"},
      {7, mount}, {64, mount}};
  static const struct {
    const char* name;
    size_t (*get)(char*, size_t);
  } getters[] = {{"by name", mount_by_name}, {"by function", mount_by_function}};
  char what[200], number[24], buffer[80];
  size_t g, c, i;
  check_status("PutQZJkn_GNSS_MountPTX", jkn_PutQZJkn_GNSS_MountPTX(mount), JKN_OK);
  g_expected[F_GNSS] = "[GNSS]\r\nMountPTX=\x93\x8c\x8b\x9e\x93\x73\r\n";
  check_files("after PutQZJkn_GNSS_MountPTX");
  for (g = 0; g < sizeof getters / sizeof getters[0]; ++g) {
    check_number(words(what, sizeof what, getters[g].name, ": length without a buffer", 0),
                 (long long)getters[g].get(0, 0), 6);
    for (c = 0; c < sizeof cuts / sizeof cuts[0]; ++c) {
      const size_t capacity = cuts[c].capacity;
      for (i = 0; i < sizeof buffer; ++i) buffer[i] = '#';
      buffer[sizeof buffer - 1] = '\0';
      words(what, sizeof what, getters[g].name, ", capacity ",
            decimal(number, (long long)capacity));
      check_number(what, (long long)getters[g].get(buffer, capacity), 6);
      if (capacity == 0) {
        check(words(what, sizeof what, what, ": buffer untouched", 0), buffer[0] == '#');
        continue;
      }
      check_text(what, buffer, cuts[c].seen);
      check(words(what, sizeof what, what, ": nothing written past the capacity", 0),
            buffer[capacity] == '#');
    }
  }
}

static int same_record(const JknRtkConnectProp* a, const JknRtkConnectProp* b) {
  return a->Radio == b->Radio && a->Hosei == b->Hosei && a->FlowCTS == b->FlowCTS &&
         a->PortNo == b->PortNo && a->BaudRate == b->BaudRate && a->Parity == b->Parity;
}

static void check_record(const char* what, const JknRtkConnectProp* got,
                         const JknRtkConnectProp* want) {
  char a[160], b[160], n[6][24];
  if (same_record(got, want)) return;
  words(a, sizeof a, decimal(n[0], got->Radio), ",", decimal(n[1], got->Hosei));
  words(a, sizeof a, a, ",", decimal(n[2], got->FlowCTS));
  words(a, sizeof a, a, ",", decimal(n[3], got->PortNo));
  words(a, sizeof a, a, ",", decimal(n[4], got->BaudRate));
  words(a, sizeof a, a, ",", decimal(n[5], got->Parity));
  words(b, sizeof b, decimal(n[0], want->Radio), ",", decimal(n[1], want->Hosei));
  words(b, sizeof b, b, ",", decimal(n[2], want->FlowCTS));
  words(b, sizeof b, b, ",", decimal(n[3], want->PortNo));
  words(b, sizeof b, b, ",", decimal(n[4], want->BaudRate));
  words(b, sizeof b, b, ",", decimal(n[5], want->Parity));
  fail(what, a, b);
}

/* The RTK radio record: three keys shared by both sides, three of each side. */
static void rtk_record(void) {
  static const JknRtkConnectProp stale = {77, 77, 77, 77, 77, 77};
  static const struct {
    int put; /* 0: only read */
    int32_t side;
    JknRtkConnectProp record; /* written, or what a read gives */
    const char* bytes;
  } steps[] = {
      {0, 0, {0, 2, 1, 1, 9600, 0}, 0},
      {0, 1, {0, 2, 1, 1, 9600, 0}, 0},
      {1,
       1,
       {1, 3, 0, 5, 4800, 2},
       "[GNSS]\r\nRTKRadio=1\r\nRTKHosei=3\r\nRTKFlowCTS=0\r\nRTKPortNoS=5\r\n"
       "RTKBaudRateS=4800\r\nRTKParityS=2\r\n"},
      {1,
       0,
       {-2, 4, 1, 7, 4294967295u, 255},
       "[GNSS]\r\nRTKRadio=-2\r\nRTKHosei=4\r\nRTKFlowCTS=1\r\nRTKPortNoS=5\r\nRTKBaudRateS="
       "4800\r\n"
       "RTKParityS=2\r\nRTKPortNoR=7\r\nRTKBaudRateR=4294967295\r\nRTKParityR=255\r\n"},
      {0, 0, {-2, 4, 1, 7, 4294967295u, 255}, 0},
      {0, -1, {-2, 4, 1, 5, 4800, 2}, 0}, /* any side but 0 is "S" */
  };
  char what[100], number[24];
  size_t k;
  for (k = 0; k < sizeof steps / sizeof steps[0]; ++k) {
    words(what, sizeof what, steps[k].put ? "put side " : "get side ",
          decimal(number, steps[k].side), 0);
    if (steps[k].put) {
      check_status(what, jkn_PutQZJkn_GNSS_RTKConnectProp(steps[k].side, &steps[k].record), JKN_OK);
      g_expected[F_GNSS_RTK] = steps[k].bytes;
    } else {
      JknRtkConnectProp read = stale;
      jkn_GetQZJkn_GNSS_RTKConnectProp(steps[k].side, &read);
      check_record(what, &read, &steps[k].record);
    }
    check_files(what);
  }
}

/* The Bluetooth partner: a JknText in and out, and a port. */
static void bt_info(void) {
  static const char address[] = "00:11:22:AA:BB:CC";
  static const struct {
    size_t capacity;
    const char* seen;
  } cuts[] = {{1, ""}, {8, "00:11:2"}, {17, "00:11:22:AA:BB:C"}, {18, address}, {40, address}};
  char buffer[40], what[100], number[24];
  uint32_t port = 77;
  JknText text;
  size_t c;
  /* Nothing stored: the function replaces the text it was given. */
  words(buffer, sizeof buffer, "stale", 0, 0);
  text.buffer = buffer;
  text.capacity = sizeof buffer;
  text.length = 77;
  jkn_GetQZJkn_NMEA_BtInfo(&text, &port);
  check_text("address of a fresh store", buffer, "");
  check_number("its length", (long long)text.length, 0);
  check_number("port of a fresh store", port, 0);

  check_status("PutQZJkn_NMEA_BtInfo", jkn_PutQZJkn_NMEA_BtInfo(address, 4294967295u), JKN_OK);
  g_expected[F_NMEA] = "[NMEA]\r\nBTAddr=00:11:22:AA:BB:CC\r\nBTPort=4294967295\r\n";
  check_files("after PutQZJkn_NMEA_BtInfo");
  for (c = 0; c < sizeof cuts / sizeof cuts[0]; ++c) {
    words(buffer, sizeof buffer, "stale", 0, 0);
    text.buffer = buffer;
    text.capacity = cuts[c].capacity;
    text.length = 0;
    port = 0;
    jkn_GetQZJkn_NMEA_BtInfo(&text, &port);
    words(what, sizeof what, "GetQZJkn_NMEA_BtInfo, capacity ",
          decimal(number, (long long)cuts[c].capacity), 0);
    check_text(what, buffer, cuts[c].seen);
    check_number(what, (long long)text.length, 17);
    check_number(what, port, 4294967295u);
  }
  text.buffer = 0;
  text.capacity = 0;
  jkn_GetQZJkn_NMEA_BtInfo(&text, &port);
  check_number("GetQZJkn_NMEA_BtInfo without a buffer", (long long)text.length, 17);
  /* A NULL address removes its key; the port is still written. */
  check_status("PutQZJkn_NMEA_BtInfo(NULL)", jkn_PutQZJkn_NMEA_BtInfo(0, 6), JKN_OK);
  g_expected[F_NMEA] = "[NMEA]\r\nBTPort=6\r\n";
  check_files("after PutQZJkn_NMEA_BtInfo(NULL)");
}

static void functions(void) {
  char buffer[64];
  check_number("GetQZJkn_GNSS_Page of a fresh store", jkn_GetQZJkn_GNSS_Page(), 0);
  check_status("PutQZJkn_GNSS_Page", jkn_PutQZJkn_GNSS_Page(7), JKN_OK);
  check_number("GetQZJkn_GNSS_Page", jkn_GetQZJkn_GNSS_Page(), 7);
  check_status("PutQZJkn_GNSS_MaskSate", jkn_PutQZJkn_GNSS_MaskSate(1, 65535), JKN_OK);
  check_number("GetQZJkn_GNSS_MaskSate(1)", jkn_GetQZJkn_GNSS_MaskSate(1), 65535);
  check_number("GetQZJkn_GNSS_MaskSate(0)", jkn_GetQZJkn_GNSS_MaskSate(0), 11);
  check_status("PutQZJkn_GNSS_UserID", jkn_PutQZJkn_GNSS_UserID("surveyor-3"), JKN_OK);
  check_number("GetQZJkn_GNSS_UserID", (long long)jkn_GetQZJkn_GNSS_UserID(buffer, sizeof buffer),
               10);
  check_text("GetQZJkn_GNSS_UserID", buffer, "surveyor-3");
  g_expected[F_GNSS] = "[GNSS]\r\nPage=7\r\nMaskSate_Svy=65535\r\nUserID=surveyor-3\r\n";
  check_files("after the GNSS functions");
  /* A text with a line break is refused and nothing is written. */
  check_status("PutQZJkn_GNSS_UserID with CR LF", jkn_PutQZJkn_GNSS_UserID("a\r\nb"), JKN_REFUSED);
  check_status("PutQZJkn_TS_Psm with LF", jkn_PutQZJkn_TS_Psm(0, "-030mm\nA"), JKN_REFUSED);
  check_files("after texts with line breaks");
  /* A NULL text removes the key. */
  check_status("PutQZJkn_GNSS_UserID(NULL)", jkn_PutQZJkn_GNSS_UserID(0), JKN_OK);
  g_expected[F_GNSS] = "[GNSS]\r\nPage=7\r\nMaskSate_Svy=65535\r\n";
  check_files("after PutQZJkn_GNSS_UserID(NULL)");
  rtk_record();
  bt_info();
}

/* A setter with its own range reports through its last argument. */
static void validating_setter(void) {
  static const struct {
    int32_t value;
    bool result;
    JknStatus status;
    int32_t read;
    const char* bytes;
  } rows[] = {
      {0, false, JKN_OUT_OF_RANGE, 3, 0},
      {100, false, JKN_OUT_OF_RANGE, 3, 0},
      {1, true, JKN_OK, 1, "[NPR]\r\nVAL=1\r\n"},
      {99, true, JKN_OK, 99, "[NPR]\r\nVAL=99\r\n"},
      {-2147483647 - 1, false, JKN_OUT_OF_RANGE, 99, "[NPR]\r\nVAL=99\r\n"},
  };
  char profile[400], what[100], number[24];
  size_t k;
  inf_file(profile, sizeof profile, 0, kFileNames[F_PROFILE]);
  for (k = 0; k < sizeof rows / sizeof rows[0]; ++k) {
    JknStatus status = JKN_BUSY;
    bool result;
    words(what, sizeof what, "PutQZJkn_ZETR_Npr_Value ", decimal(number, rows[k].value), 0);
    result = jkn_PutQZJkn_ZETR_Npr_Value(profile, rows[k].value, &status);
    check(words(what, sizeof what, what, ": result", 0), result == rows[k].result);
    check_status(what, status, rows[k].status);
    check_number("GetQZJkn_ZETR_Npr_Value", jkn_GetQZJkn_ZETR_Npr_Value(profile), rows[k].read);
    g_expected[F_PROFILE] = rows[k].bytes;
    check_files(what);
  }
  check("a NULL status is allowed", !jkn_PutQZJkn_ZETR_Npr_Value(profile, 1000, 0));
  check("and so is one of a write", jkn_PutQZJkn_ZETR_Npr_Value(profile, 42, 0));
  g_expected[F_PROFILE] = "[NPR]\r\nVAL=42\r\n";
  check_files("after the calls with a NULL status");
}

/* Writes the file system refuses: each reports why and changes nothing. */
static void failed_writes(void) {
  char path[400], missing[400], what[200];
  JknStatus status = JKN_BUSY;
  check_status("set NMEA_BaudRate", jkn_set("NMEA_BaudRate", 0, "38400"), JKN_OK);
  g_expected[F_NMEA] = "[NMEA]\r\nBaudRate=38400\r\n";
  check_files("before");

  /* A read-only file. */
  check("making the file read-only",
        set_read_only(inf_file(path, sizeof path, 0, kFileNames[F_NMEA]), 1) == 0);
  check_status("set into a read-only file", jkn_set("NMEA_BaudRate", 0, "9600"), JKN_READ_ONLY);
  check_status("reset in a read-only file", jkn_reset("NMEA_BaudRate", 0), JKN_READ_ONLY);
  check_status("PutQZJkn_NMEA_Port into a read-only file", jkn_PutQZJkn_NMEA_Port(4),
               JKN_READ_ONLY);
  check_number("GetQZJkn_NMEA_BaudRate of a read-only file", jkn_GetQZJkn_NMEA_BaudRate(), 38400);
  check_files("after writes into a read-only file");
  set_read_only(path, 0);
  check_status("set after the file is writable again", jkn_set("NMEA_BaudRate", 0, "9600"), JKN_OK);
  g_expected[F_NMEA] = "[NMEA]\r\nBaudRate=9600\r\n";
  check_files("after the file is writable again");

  /* A profile in a folder that does not exist: it is never made. */
  words(missing, sizeof missing, g_inf[0], SEP "missing" SEP "p.ini", 0);
  check_status("set into a missing folder", jkn_set("ZETR_PsmMode", missing, "0"),
               JKN_FOLDER_MISSING);
  check_status("PutQZJkn_ZETR_PsmMode into a missing folder",
               jkn_PutQZJkn_ZETR_PsmMode(missing, false), JKN_FOLDER_MISSING);
  check("PutQZJkn_ZETR_Aut_Time into a missing folder fails",
        !jkn_PutQZJkn_ZETR_Aut_Time(missing, 1, &status));
  check_status("its status", status, JKN_FOLDER_MISSING);
  words(missing, sizeof missing, g_inf[0], SEP "missing", 0);
  check("the missing folder is not made", make_folder(missing) == 0 && remove_folder(missing) == 0);

  /* Root 0 missing, then one whose "inf" is a file: the variable is read at
   * each call. */
  words(path, sizeof path, g_base, SEP "absent", 0);
  check("variable set", set_variable("KORVEL_APPDATA_0", path) == 0);
  check_status("PutQZJkn_GNSS_Page under a missing root", jkn_PutQZJkn_GNSS_Page(1),
               JKN_FOLDER_MISSING);
  check_status("set under a missing root", jkn_set("NMEA_BaudRate", 0, "4800"), JKN_FOLDER_MISSING);
  check_number("GetQZJkn_NMEA_BaudRate under a missing root", jkn_GetQZJkn_NMEA_BaudRate(), 19200);
  check("the missing root is not made", make_folder(path) == 0 && remove_folder(path) == 0);
  words(path, sizeof path, g_base, SEP, kPlainRoot);
  check("variable set", make_folder(path) == 0 && set_variable("KORVEL_APPDATA_0", path) == 0);
  check("making a file", make_file(words(path, sizeof path, path, SEP "inf", 0)));
  check_status("PutQZJkn_GNSS_Page where \"inf\" is a file", jkn_PutQZJkn_GNSS_Page(1),
               JKN_NOT_A_FOLDER);
  check_status("set where \"inf\" is a file", jkn_set("NMEA_BaudRate", 0, "4800"),
               JKN_NOT_A_FOLDER);
  check("variable set", set_variable("KORVEL_APPDATA_0", g_root[0]) == 0);
  check_number("GetQZJkn_NMEA_BaudRate under root 0 again", jkn_GetQZJkn_NMEA_BaudRate(), 9600);

  /* A folder where the settings file belongs. */
  check("making a folder", make_folder(inf_file(path, sizeof path, 0, kFolderAsFile)) == 0);
  check_status("set where a folder stands", jkn_set("GnssAntnMax", 0, "4"), JKN_FILE_IS_FOLDER);
  check_number("GetQZJkn_GnssAntnMax where a folder stands", jkn_GetQZJkn_GnssAntnMax(), 8);
  check_files(words(what, sizeof what, "after the failed writes", 0, 0));
}

static int starts_with(const char* text, const char* start) {
  size_t n = text_length(start);
  return text_length(text) >= n && same_bytes(text, start, n);
}

static int contains(const char* text, const char* part) {
  size_t i, n = text_length(text), k = text_length(part);
  for (i = 0; i + k <= n; ++i) {
    if (same_bytes(text + i, part, k)) return 1;
  }
  return 0;
}

/* What a caller learns besides a status: the version, the message of the last
 * failure, a setting described; and the misuse and read-back statuses. */
static void caller(void) {
  static const JknRtkConnectProp record = {1, 3, 0, 5, 4800, 2};
  char text[2048], version[24], number[24], what[200];
  size_t length = 0;
  words(version, sizeof version, decimal(number, TRASSOJKN_VERSION_MAJOR), ".", 0);
  words(version, sizeof version, version, decimal(number, TRASSOJKN_VERSION_MINOR), ".");
  words(version, sizeof version, version, decimal(number, TRASSOJKN_VERSION_PATCH), 0);
  check_text("jkn_version", jkn_version(), version);

  /* A value the application would read back otherwise: written, and said. */
  check_status("PutQZJkn_GNSS_Password with a blank", jkn_PutQZJkn_GNSS_Password(" secret"),
               JKN_READS_BACK_ALTERED);
  g_expected[F_GNSS] = "[GNSS]\r\nPassword= secret\r\n";
  check_files("after PutQZJkn_GNSS_Password");
  check_number("jkn_last_error's length", (long long)jkn_last_error(0, 0),
               (long long)jkn_last_error(text, sizeof text));
  check(words(what, sizeof what, "the message says why: ", text, 0),
        starts_with(text,
                    "PutQZJkn_GNSS_Password(\" secret\"): written, but the application "
                    "reads it back otherwise: Password of [GNSS] in ") &&
            contains(text,
                     "reads 'secret', not ' secret' (blanks at the start of a value are "
                     "not read)"));

  /* Misuse: a NULL record writes nothing. */
  check_status("PutQZJkn_GNSS_RTKConnectProp", jkn_PutQZJkn_GNSS_RTKConnectProp(0, &record),
               JKN_OK);
  g_expected[F_GNSS_RTK] =
      "[GNSS]\r\nRTKRadio=1\r\nRTKHosei=3\r\nRTKFlowCTS=0\r\nRTKPortNoR=5\r\n"
      "RTKBaudRateR=4800\r\nRTKParityR=2\r\n";
  check_status("PutQZJkn_GNSS_RTKConnectProp(NULL)", jkn_PutQZJkn_GNSS_RTKConnectProp(0, 0),
               JKN_MISUSE);
  check_status("PutQZJkn_Use of an unassigned item", jkn_PutQZJkn_Use(0, 25, 1), JKN_MISUSE);
  jkn_last_error(text, sizeof text);
  check_text("its message", text,
             "PutQZJkn_Use(0, 25, 1): item code 25 names no item (0 to 53; 25 is unassigned); "
             "nothing written");
  check_files("after the misuse");

  /* The setting as data. */
  check_status("jkn_describe", jkn_describe("GNSS_MaskElev", text, sizeof text, &length), JKN_OK);
  check_number("its length", (long long)length, (long long)text_length(text));
  check(words(what, sizeof what, "describes GNSS_MaskElev: ", text, 0),
        starts_with(text, "{\n  \"name\": \"GNSS_MaskElev\",\n  \"area\": \"GNSS\",") &&
            contains(text, "\n  \"default\": 15,\n"));
}

static void status_texts(void) {
  static const struct {
    JknStatus status;
    const char* text;
  } rows[] = {
      {JKN_OK, "done"},
      {JKN_FOLDER_MISSING, "folder missing"},
      {JKN_NOT_A_FOLDER, "not a folder"},
      {JKN_FILE_IS_FOLDER, "settings file is a folder"},
      {JKN_NOT_A_FILE, "not a regular file"},
      {JKN_READ_ONLY, "file read-only"},
      {JKN_ACCESS_DENIED, "access denied"},
      {JKN_REFUSED, "value refused"},
      {JKN_OUT_OF_RANGE, "value out of range"},
      {JKN_DISK_FULL, "disk full or file too large"},
      {JKN_BUSY, "busy"},
      {JKN_IO_ERROR, "I/O error"},
      {JKN_UNKNOWN_SETTING, "unknown setting"},
      {JKN_BAD_SELECTOR, "bad selector"},
      {JKN_BAD_VALUE, "bad value"},
      {JKN_NOT_SETTABLE, "setting is read-only"},
      {JKN_MISUSE, "misuse"},
      {JKN_READS_BACK_ALTERED, "written, reads back altered"},
      {JKN_TEMP_BLOCKED, "temporary file's place taken"},
      {JKN_TIMEOUT, "timed out"},
      {(JknStatus)20, "unknown status"},
      {(JknStatus)-1, "unknown status"},
  };
  char what[40], number[24];
  size_t k;
  for (k = 0; k < sizeof rows / sizeof rows[0]; ++k) {
    const char* text = jkn_status_text(rows[k].status);
    words(what, sizeof what, "status ", decimal(number, rows[k].status), 0);
    if (!text) {
      check(words(what, sizeof what, what, " has a text", 0), 0);
    } else {
      check_text(what, text, rows[k].text);
    }
  }
}

int main(void) {
  static const struct {
    const char* name;
    void (*run)(void);
  } sections[] = {{"registry", registry},
                  {"writes and resets by name", writes},
                  {"refused calls by name", refused},
                  {"cut texts", cut_texts},
                  {"functions", functions},
                  {"validating setter", validating_setter},
                  {"failed writes", failed_writes},
                  {"what a caller learns", caller},
                  {"status texts", status_texts}};
  size_t k;
  int id;
  for (k = 0; k < sizeof sections / sizeof sections[0]; ++k) {
    const int before = g_failures;
    g_section = sections[k].name;
    for (id = 0; id < FILE_COUNT; ++id) g_expected[id] = 0;
    if (!make_roots()) {
      check("fresh roots made", 0);
      return 1;
    }
    sections[k].run();
    /* What a failed section leaves is kept to look at. */
    if (g_failures == before) {
      remove_roots();
    } else {
      printf("[%s] files kept in %s\n", g_section, g_base);
    }
  }
  if (g_failures) {
    char number[24];
    printf("%s failed checks\n", decimal(number, g_failures));
    return 1;
  }
  printf("all checks passed\n");
  return 0;
}

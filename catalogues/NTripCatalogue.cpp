// NTRIP caster catalogue: "NTrip.ini" of root 1, read only.
#include <cstdio>
#include <string>

#include "Api.h"
#include "SettingsPaths.h"
#include "SettingsValues.h"
#include "StoreFacts.h"

using namespace trasso;

namespace {

constexpr const char* kSection = "NTrip";
constexpr const char* kPrefix = "Co";
// An entry or provider number of 65535 stands for "no number" in a key.
constexpr unsigned kNoNumber = 65535;

// Keys are at most "Co" + five digits + "Prt" + five digits: a small buffer does.
struct KeyText {
  char text[32];
  const char* c_str() const { return text; }
};

// "Co<pn><field>": provider fields, the port count and the stream list counts.
KeyText providerKey(unsigned pn, const char* field) {
  KeyText key;
  std::snprintf(key.text, sizeof key.text, "%s%02u%s", kPrefix, pn, field);
  return key;
}

// Provider fields of provider 65535 are read without a number ("CoNam").
KeyText providerFieldKey(unsigned pn, const char* field) {
  if (pn != kNoNumber) return providerKey(pn, field);
  KeyText key;
  std::snprintf(key.text, sizeof key.text, "%s%s", kPrefix, field);
  return key;
}

// "Co<pn>Prt<j %03u>".
KeyText portKey(unsigned pn, unsigned j) {
  KeyText key;
  std::snprintf(key.text, sizeof key.text, "%s%02uPrt%03u", kPrefix, pn, j);
  return key;
}

// "Co<pn><list><entry %02u><field>", or without the entry for entry 65535.
KeyText streamKey(unsigned pn, const char* list, unsigned entry, const char* field) {
  KeyText key;
  if (entry == kNoNumber) {
    std::snprintf(key.text, sizeof key.text, "%s%02u%s%s", kPrefix, pn, list, field);
  } else {
    std::snprintf(key.text, sizeof key.text, "%s%02u%s%02u%s", kPrefix, pn, list, entry, field);
  }
  return key;
}

const char* listWord(unsigned kind) { return kind == 1 ? "Vrs" : "Rrs"; }

// One read of the catalogue per call: every key of a record comes from the same
// version of the file.
struct Catalogue {
  SettingsReader file{SettingsFilePath(SettingsFile::NTrip)};
  uint32_t integer(const KeyText& key) const { return file.intBits(kSection, key.c_str(), 0); }
  std::string text(const KeyText& key) const { return file.text(kSection, key.c_str(), ""); }
};

}  // namespace

int trasso::api::GetNTrip_Co_Cnt() noexcept {
  return static_cast<int>(Catalogue().file.intBits(kSection, "CoCnt", 0));
}

int trasso::api::GetNTrip_Co_Info(uint16_t index, CompanyRec* rec) noexcept {
  if (rec == nullptr) return 0;
  const Catalogue catalogue;
  const unsigned pn = static_cast<uint16_t>(index + 1);
  rec->Name = catalogue.text(providerFieldKey(pn, "Nam"));
  rec->Index = static_cast<uint8_t>(catalogue.integer(providerFieldKey(pn, "Idx")));
  rec->Address = catalogue.text(providerFieldKey(pn, "Adr"));
  rec->Sct = static_cast<uint8_t>(catalogue.integer(providerFieldKey(pn, "Sct")));
  const unsigned ports = static_cast<uint16_t>(catalogue.integer(providerKey(pn, "PrtCnt")));
  for (unsigned j = 0; j < ports; ++j) {
    rec->Ports.push_back(static_cast<uint16_t>(catalogue.integer(portKey(pn, j))));
  }
  return rec->Index > 0 && !rec->Address.empty() && !rec->Ports.empty() ? 1 : 0;
}

int trasso::api::GetNTrip_Protcol_Cnt(uint8_t pn, uint8_t kind) noexcept {
  const std::string countWord = std::string(listWord(kind)) + "Cnt";
  return static_cast<int>(Catalogue().integer(providerKey(pn, countWord.c_str())));
}

int trasso::api::GetNTrip_Protocol_Info(uint8_t pn, uint8_t kind, uint16_t entry,
                                        NTripRec* rec) noexcept {
  if (rec == nullptr) return 0;
  const Catalogue catalogue;
  const char* list = listWord(kind);
  const unsigned i = static_cast<uint8_t>(catalogue.integer(streamKey(pn, list, entry, "i")));
  rec->Id = static_cast<uint16_t>((pn * 10u + kind) * 100u + i);
  rec->NText = catalogue.text(streamKey(pn, list, entry, "n"));
  rec->MText = catalogue.text(streamKey(pn, list, entry, "m"));
  rec->XValue = static_cast<uint16_t>(catalogue.integer(streamKey(pn, list, entry, "x")));
  return rec->Id > 0 && !rec->NText.empty() && !rec->MText.empty() ? 1 : 0;
}

namespace trasso {

facts::CatalogueSection catalogueSectionOfNTripCatalogue() {
  return {SettingsFile::NTrip, kSection, "GetNTrip_Co_Info"};
}

}  // namespace trasso

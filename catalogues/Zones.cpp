// Plane rectangular coordinate zones: the fixed table of the 19 zones of Japan and
// the selected zone in a caller-named folder.
#include <string>

#include "Api.h"
#include "SettingsValues.h"

using namespace trasso;

namespace {

struct Zone {
  uint16_t number;
  const char* name;  // code page 932
};

// Names in code page 932 bytes: a half-width space before one-digit numbers, a
// full-width colon after the zone, half-width "." and parentheses.
constexpr Zone kZones[] = {
    // 1: Nagasaki, Kagoshima
    {1, "\x91\xE6 1\x8C\x6E\x81\x46\x92\xB7\x8D\xE8.\x8E\xAD\x8E\x99\x93\x87"},
    // 2: Fukuoka, Saga, Kumamoto, Oita, Miyazaki, Kagoshima
    {2,
     "\x91\xE6 "
     "2\x8C\x6E\x81\x46\x95\x9F\x89\xAA.\x8D\xB2\x89\xEA.\x8C\x46\x96\x7B.\x91\xE5\x95\xAA."
     "\x8B\x7B\x8D\xE8.\x8E\xAD\x8E\x99\x93\x87"},
    // 3: Yamaguchi, Shimane, Hiroshima
    {3, "\x91\xE6 3\x8C\x6E\x81\x46\x8E\x52\x8C\xFB.\x93\x87\x8D\xAA.\x8D\x4C\x93\x87"},
    // 4: Kagawa, Ehime, Tokushima, Kochi
    {4,
     "\x91\xE6 "
     "4\x8C\x6E\x81\x46\x8D\x81\x90\xEC.\x88\xA4\x95\x51.\x93\xBF\x93\x87.\x8D\x82\x92\x6D"},
    // 5: Hyogo, Tottori, Okayama
    {5, "\x91\xE6 5\x8C\x6E\x81\x46\x95\xBA\x8C\xC9.\x92\xB9\x8E\xE6.\x89\xAA\x8E\x52"},
    // 6: Kyoto, Osaka, Fukui, Shiga, Mie, Nara, Wakayama
    {6,
     "\x91\xE6 "
     "6\x8C\x6E\x81\x46\x8B\x9E\x93\x73.\x91\xE5\x8D\xE3.\x95\x9F\x88\xE4.\x8E\xA0\x89\xEA."
     "\x8E\x4F\x8F\x64.\x93\xDE\x97\xC7.\x98\x61\x89\xCC\x8E\x52"},
    // 7: Ishikawa, Toyama, Gifu, Aichi
    {7,
     "\x91\xE6 "
     "7\x8C\x6E\x81\x46\x90\xCE\x90\xEC.\x95\x78\x8E\x52.\x8A\xF2\x95\x8C.\x88\xA4\x92\x6D"},
    // 8: Niigata, Nagano, Yamanashi, Shizuoka
    {8,
     "\x91\xE6 "
     "8\x8C\x6E\x81\x46\x90\x56\x8A\x83.\x92\xB7\x96\xEC.\x8E\x52\x97\x9C.\x90\xC3\x89\xAA"},
    // 9: Tokyo, Fukushima, Tochigi, Ibaraki, Saitama, Chiba, Gunma, Kanagawa
    {9,
     "\x91\xE6 "
     "9\x8C\x6E\x81\x46\x93\x8C\x8B\x9E.\x95\x9F\x93\x87.\x93\xC8\x96\xD8.\x88\xEF\x8F\xE9."
     "\x8D\xE9\x8B\xCA.\x90\xE7\x97\x74.\x8C\x51\x94\x6E.\x90\x5F\x93\xDE\x90\xEC"},
    // 10: Aomori, Akita, Yamagata, Iwate, Miyagi
    {10,
     "\x91\xE6"
     "10\x8C\x6E\x81\x46\x90\xC2\x90\x58.\x8F\x48\x93\x63.\x8E\x52\x8C\x60.\x8A\xE2\x8E\xE8."
     "\x8B\x7B\x8F\xE9"},
    // 11: Hokkaido (1)
    {11,
     "\x91\xE6"
     "11\x8C\x6E\x81\x46\x96\x6B\x8A\x43\x93\xB9(1)"},
    // 12: Hokkaido (2)
    {12,
     "\x91\xE6"
     "12\x8C\x6E\x81\x46\x96\x6B\x8A\x43\x93\xB9(2)"},
    // 13: Hokkaido (3)
    {13,
     "\x91\xE6"
     "13\x8C\x6E\x81\x46\x96\x6B\x8A\x43\x93\xB9(3)"},
    // 14: Tokyo (islands)
    {14,
     "\x91\xE6"
     "14\x8C\x6E\x81\x46\x93\x8C\x8B\x9E(\x8F\x94\x93\x87)"},
    // 15: Okinawa (1)
    {15,
     "\x91\xE6"
     "15\x8C\x6E\x81\x46\x89\xAB\x93\xEA(1)"},
    // 16: Okinawa (2)
    {16,
     "\x91\xE6"
     "16\x8C\x6E\x81\x46\x89\xAB\x93\xEA(2)"},
    // 17: Okinawa (3)
    {17,
     "\x91\xE6"
     "17\x8C\x6E\x81\x46\x89\xAB\x93\xEA(3)"},
    // 18: Tokyo (Okinotori)
    {18,
     "\x91\xE6"
     "18\x8C\x6E\x81\x46\x93\x8C\x8B\x9E(\x89\xAB\x83\x6D\x93\x87)"},
    // 19: Tokyo (Minamitori)
    {19,
     "\x91\xE6"
     "19\x8C\x6E\x81\x46\x93\x8C\x8B\x9E(\x93\xEC\x92\xB9\x93\x87)"},
};
constexpr int kZoneCount = static_cast<int>(sizeof kZones / sizeof kZones[0]);

constexpr const char* kSection = "HMNZAKEI";
constexpr const char* kNumberKey = "NO";

std::string zoneFile(const char* folder) {
  return std::string(folder != nullptr ? folder : "") + "\\HmnZaKei.ini";
}

}  // namespace

int trasso::api::GetHmnZaKeiCnt() noexcept { return kZoneCount; }

int trasso::api::GetHmnZaKeiInfo(int index, uint16_t& number, std::string& name) noexcept {
  if (index < 0 || index >= kZoneCount) return 0;
  number = kZones[index].number;
  name = kZones[index].name;
  return 1;
}

uint16_t trasso::api::GetHmnZaKei(const char* folder) noexcept {
  return static_cast<uint16_t>(readIntBits(zoneFile(folder), kSection, kNumberKey, 1));
}

int trasso::api::SetHmnZaKei(const char* folder, uint16_t number) noexcept {
  if (number < 1 || number > kZoneCount) return 0;
  // A failed write (missing folder) is not reported: the number itself was valid.
  writeText(zoneFile(folder), kSection, kNumberKey, formatUnsigned(number));
  return 1;
}

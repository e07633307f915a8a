// TrassoJkn: the settings store of the field surveying application.
//
// Every function composes its file's path anew, reads or writes its keys and
// keeps nothing between calls. Getters never fail and never create anything: a
// missing file, section or key gives the default shown. Setters write
// unconditionally and report nothing unless they return bool. No exception
// leaves any of these functions. Texts are 8-bit (code page 932) byte strings; a
// null input text given to a text setter removes its key.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#if defined(TRASSOJKN_BUILDING)
#define TRASSOJKN_API __attribute__((visibility("default")))
#else
#define TRASSOJKN_API
#endif

// ---------------------------------------------------------------------------
// Caller-owned records
// ---------------------------------------------------------------------------

struct QZ_AntennaRec {
  int ID = -2;
  int Sensor = -1;
  std::string Name, CharCode, Bmp, SensorBmp;
  double Offset = 0.0;
};
using AntennaCatalogue = std::vector<QZ_AntennaRec>;

struct CompanyRec {
  std::string Name;
  std::string Address;
  uint8_t Index = 0;
  uint32_t Sct = 0;
  std::vector<uint16_t> Ports;
};

struct NTripRec {
  uint16_t Id = 0;
  std::string NText;
  std::string MText;
  uint16_t XValue = 0;
};

struct RTK_CONNECT_PROP {
  int Radio = 0;
  int Hosei = 2;
  int FlowCTS = 1;
  int PortNo = 1;
  uint32_t BaudRate = 9600;
  uint8_t Parity = 0;
};

// ---------------------------------------------------------------------------
// Paths and flush. Roots come from the path component; texts join with "\".
// ---------------------------------------------------------------------------

// root + "\inf\", "\img\", "\wav\" for any root number.
TRASSOJKN_API std::string GetQZInf_Path(int root) noexcept;
TRASSOJKN_API std::string GetQZImg_Path(int root) noexcept;
TRASSOJKN_API std::string GetQZWav_Path(int root) noexcept;
// root 0 + "\geoid" (no trailing separator), and + "\geoidn.dat".
TRASSOJKN_API std::string GetQZGeoidFile_Path() noexcept;
TRASSOJKN_API std::string GetQZGeoidFile_FullPath() noexcept;
// Standard places of the caller-named profiles: root 0 + "\inf\" + file name.
TRASSOJKN_API std::string GetQZJkn_ZETR_Path() noexcept;
TRASSOJKN_API std::string GetQZJkn_PL30_Path() noexcept;
TRASSOJKN_API std::string GetQZJkn_Soku_Path() noexcept;
// Write out any cached copy of a profile file. Nothing is cached, so these change
// nothing; the three names are one operation.
TRASSOJKN_API void Flush_QZJkn_ZETR_File(const char* path) noexcept;
TRASSOJKN_API void Flush_QZJkn_PL30_File(const char* path) noexcept;
TRASSOJKN_API void Flush_QZJkn_Soku_File(const char* path) noexcept;

// ---------------------------------------------------------------------------
// GNSS settings: "jkn-gnss.ini", section "GNSS" (sky plot: section "SKYPLOT").
// A mode argument of 0 selects the base key, any other value the "_Svy" key.
// ---------------------------------------------------------------------------

TRASSOJKN_API int GetQZJkn_GNSS_Page() noexcept;                          // "Page", 0
TRASSOJKN_API void PutQZJkn_GNSS_Page(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_AutoLoad() noexcept;                      // "AutoLoad", 0
TRASSOJKN_API void PutQZJkn_GNSS_AutoLoad(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_AutoStart() noexcept;                     // "AutoStart", 0
TRASSOJKN_API void PutQZJkn_GNSS_AutoStart(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_SetOpen() noexcept;                       // "SetOpen", 1
TRASSOJKN_API void PutQZJkn_GNSS_SetOpen(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_RTK_SetOpen() noexcept;                   // "SetOpenRtk", 1
TRASSOJKN_API void PutQZJkn_GNSS_RTK_SetOpen(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_NTripP() noexcept;                        // "Protocol", 1104
TRASSOJKN_API void PutQZJkn_GNSS_NTripP(int value) noexcept;
TRASSOJKN_API std::string GetQZJkn_GNSS_Address() noexcept;               // "Address", ""
TRASSOJKN_API void PutQZJkn_GNSS_Address(const char* text) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_PortNoS() noexcept;                       // "PortNoS", 0
TRASSOJKN_API void PutQZJkn_GNSS_PortNoS(int value) noexcept;
TRASSOJKN_API std::string GetQZJkn_GNSS_UserID() noexcept;                // "UserID", ""
TRASSOJKN_API void PutQZJkn_GNSS_UserID(const char* text) noexcept;
TRASSOJKN_API std::string GetQZJkn_GNSS_Password() noexcept;              // "Password", "" (plain text)
TRASSOJKN_API void PutQZJkn_GNSS_Password(const char* text) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_MountP() noexcept;                        // "MountP", 0
TRASSOJKN_API void PutQZJkn_GNSS_MountP(int value) noexcept;
TRASSOJKN_API std::string GetQZJkn_GNSS_MountPTX() noexcept;              // "MountPTX", ""
TRASSOJKN_API void PutQZJkn_GNSS_MountPTX(const char* text) noexcept;
TRASSOJKN_API std::string GetQZJkn_GNSS_MountDEF() noexcept;              // "MountDEF", ""
TRASSOJKN_API void PutQZJkn_GNSS_MountDEF(const char* text) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_PortNo(int mode) noexcept;                // "PortNo[_Svy]", 1
TRASSOJKN_API void PutQZJkn_GNSS_PortNo(int mode, int value) noexcept;
// "ConnectComm[_Svy]", 1: returns 1 only for a stored 1; writes "1" for any
// non-zero argument, else "0".
TRASSOJKN_API int GetQZJkn_GNSS_COMM_or_BT(int mode) noexcept;
TRASSOJKN_API void PutQZJkn_GNSS_COMM_or_BT(int mode, int value) noexcept;
TRASSOJKN_API std::string GetQZJkn_GNSS_BTAddr(int mode) noexcept;        // "BTAddr[_Svy]", ""
TRASSOJKN_API void PutQZJkn_GNSS_BTAddr(int mode, const char* text) noexcept;
TRASSOJKN_API uint32_t GetQZJkn_GNSS_BtPort(int mode) noexcept;           // "BTPort[_Svy]", 0
TRASSOJKN_API void PutQZJkn_GNSS_BtPort(int mode, uint32_t value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_MaskElev(int mode) noexcept;              // "MaskElev[_Svy]", 15
TRASSOJKN_API void PutQZJkn_GNSS_MaskElev(int mode, int value) noexcept;
TRASSOJKN_API uint16_t GetQZJkn_GNSS_MaskSate(int mode) noexcept;         // "MaskSate[_Svy]", 11
TRASSOJKN_API void PutQZJkn_GNSS_MaskSate(int mode, uint16_t value) noexcept;
TRASSOJKN_API uint16_t GetQZJkn_GNSS_MaskSgnl(int mode) noexcept;         // "MaskSgnl[_Svy]", 3
TRASSOJKN_API void PutQZJkn_GNSS_MaskSgnl(int mode, uint16_t value) noexcept;
TRASSOJKN_API uint16_t GetQZJkn_GNSS_Rate() noexcept;                     // "Rate", 0
TRASSOJKN_API void PutQZJkn_GNSS_Rate(uint16_t value) noexcept;
TRASSOJKN_API uint16_t GetQZJkn_GNSS_DispREC() noexcept;                  // "DispREC", 1
TRASSOJKN_API void PutQZJkn_GNSS_DispREC(uint16_t value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_DispLocus() noexcept;                     // "DispLocus", 0
TRASSOJKN_API void PutQZJkn_GNSS_DispLocus(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_CntLocus() noexcept;                      // "CntLocus", 20
TRASSOJKN_API void PutQZJkn_GNSS_CntLocus(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_PutMode() noexcept;                       // "PutMode", 0
TRASSOJKN_API void PutQZJkn_GNSS_PutMode(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_AfterTime() noexcept;                     // "AfterTime", 0
TRASSOJKN_API void PutQZJkn_GNSS_AfterTime(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_IntvalTime() noexcept;                    // "IntvalTime", 5
TRASSOJKN_API void PutQZJkn_GNSS_IntvalTime(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_IntvalLeng() noexcept;                    // "IntvalLeng", 5000
TRASSOJKN_API void PutQZJkn_GNSS_IntvalLeng(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_UnFixPut() noexcept;                      // "UnFixPut", 0
TRASSOJKN_API void PutQZJkn_GNSS_UnFixPut(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_Epoch() noexcept;                         // "Epoch", 1
TRASSOJKN_API void PutQZJkn_GNSS_Epoch(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_CntEpoch() noexcept;                      // "CntEpoch", 10
TRASSOJKN_API void PutQZJkn_GNSS_CntEpoch(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_TiltObs() noexcept;                       // "TiltObs", 0
TRASSOJKN_API void PutQZJkn_GNSS_TiltObs(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_TiltSingleTime() noexcept;                // "SglAfterTime", 0
TRASSOJKN_API void PutQZJkn_GNSS_TiltSingleTime(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_TiltRepeatTime() noexcept;                // "RepAfterTime", 0
TRASSOJKN_API void PutQZJkn_GNSS_TiltRepeatTime(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_TiltAnnounce() noexcept;                  // "TiltAnnounce", 1
TRASSOJKN_API void PutQZJkn_GNSS_TiltAnnounce(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_TiltAllowance() noexcept;                 // "TiltAllowance", 20
TRASSOJKN_API void PutQZJkn_GNSS_TiltAllowance(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_Declination() noexcept;                   // "Declination", 0
TRASSOJKN_API void PutQZJkn_GNSS_Declination(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_DeclinationH() noexcept;                  // "DeclinationH", 25
TRASSOJKN_API void PutQZJkn_GNSS_DeclinationH(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_DeclinationV() noexcept;                  // "DeclinationV", 40
TRASSOJKN_API void PutQZJkn_GNSS_DeclinationV(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_BubbleSensMinPer2mm() noexcept;           // "BubbleSens", 40
TRASSOJKN_API void PutQZJkn_GNSS_BubbleSensMinPer2mm(int value) noexcept;
// "ImuObs", "UseInitMode", "UseConfirm", 0: read as 0 or 1, written as "1"/"0".
TRASSOJKN_API int GetQZJkn_GNSS_ImuObs() noexcept;
TRASSOJKN_API void PutQZJkn_GNSS_ImuObs(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_ImuRepeatTime() noexcept;                 // "ImuRepAfterTime", 0
TRASSOJKN_API void PutQZJkn_GNSS_ImuRepeatTime(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_Init_Pdop() noexcept;                     // "InitPDOP", 7
TRASSOJKN_API void PutQZJkn_GNSS_Init_Pdop(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_Init_UseSatCnt() noexcept;                // "UseSatCnt", 7
TRASSOJKN_API void PutQZJkn_GNSS_Init_UseSatCnt(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_Init_UseInitMode() noexcept;
TRASSOJKN_API void PutQZJkn_GNSS_Init_UseInitMode(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_Init_UseConfirm() noexcept;
TRASSOJKN_API void PutQZJkn_GNSS_Init_UseConfirm(int value) noexcept;
// Section "SKYPLOT", key = "%d" of the column; the caller gives the default.
TRASSOJKN_API int GetQZJkn_GNSS_SkyPlotLClm(int column, int def) noexcept;
TRASSOJKN_API void PutQZJkn_GNSS_SkyPlotLClm(int column, int value) noexcept;

// ---------------------------------------------------------------------------
// RTK radio, antenna catalogue, current antenna and sensor pictures
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// NMEA settings
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Total-station settings, prism lists, automatic loading
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Instrument profiles (ZETR, PL30) and setting-out
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Display and guidance-screen settings
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Reference catalogues: NTRIP casters, plane rectangular coordinate zones
// ---------------------------------------------------------------------------

// ---------------------------------------------------------------------------
// Tools: point names, geoid files
// ---------------------------------------------------------------------------

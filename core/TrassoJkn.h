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

// On Windows TRASSOJKN_STATIC is for code linked with the library's objects
// instead of TrassoJkn.dll (the tests).
#if defined(_WIN32) && defined(TRASSOJKN_BUILDING)
#define TRASSOJKN_API __declspec(dllexport)
#elif defined(_WIN32) && !defined(TRASSOJKN_STATIC)
#define TRASSOJKN_API __declspec(dllimport)
#elif defined(TRASSOJKN_BUILDING)
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

TRASSOJKN_API int GetQZJkn_GNSS_Page() noexcept;  // "Page", 0
TRASSOJKN_API void PutQZJkn_GNSS_Page(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_AutoLoad() noexcept;  // "AutoLoad", 0
TRASSOJKN_API void PutQZJkn_GNSS_AutoLoad(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_AutoStart() noexcept;  // "AutoStart", 0
TRASSOJKN_API void PutQZJkn_GNSS_AutoStart(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_SetOpen() noexcept;  // "SetOpen", 1
TRASSOJKN_API void PutQZJkn_GNSS_SetOpen(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_RTK_SetOpen() noexcept;  // "SetOpenRtk", 1
TRASSOJKN_API void PutQZJkn_GNSS_RTK_SetOpen(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_NTripP() noexcept;  // "Protocol", 1104
TRASSOJKN_API void PutQZJkn_GNSS_NTripP(int value) noexcept;
TRASSOJKN_API std::string GetQZJkn_GNSS_Address() noexcept;  // "Address", ""
TRASSOJKN_API void PutQZJkn_GNSS_Address(const char* text) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_PortNoS() noexcept;  // "PortNoS", 0
TRASSOJKN_API void PutQZJkn_GNSS_PortNoS(int value) noexcept;
TRASSOJKN_API std::string GetQZJkn_GNSS_UserID() noexcept;  // "UserID", ""
TRASSOJKN_API void PutQZJkn_GNSS_UserID(const char* text) noexcept;
TRASSOJKN_API std::string GetQZJkn_GNSS_Password() noexcept;  // "Password", "" (plain text)
TRASSOJKN_API void PutQZJkn_GNSS_Password(const char* text) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_MountP() noexcept;  // "MountP", 0
TRASSOJKN_API void PutQZJkn_GNSS_MountP(int value) noexcept;
TRASSOJKN_API std::string GetQZJkn_GNSS_MountPTX() noexcept;  // "MountPTX", ""
TRASSOJKN_API void PutQZJkn_GNSS_MountPTX(const char* text) noexcept;
TRASSOJKN_API std::string GetQZJkn_GNSS_MountDEF() noexcept;  // "MountDEF", ""
TRASSOJKN_API void PutQZJkn_GNSS_MountDEF(const char* text) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_PortNo(int mode) noexcept;  // "PortNo[_Svy]", 1
TRASSOJKN_API void PutQZJkn_GNSS_PortNo(int mode, int value) noexcept;
// "ConnectComm[_Svy]", 1: returns 1 only for a stored 1; writes "1" for any
// non-zero argument, else "0".
TRASSOJKN_API int GetQZJkn_GNSS_COMM_or_BT(int mode) noexcept;
TRASSOJKN_API void PutQZJkn_GNSS_COMM_or_BT(int mode, int value) noexcept;
TRASSOJKN_API std::string GetQZJkn_GNSS_BTAddr(int mode) noexcept;  // "BTAddr[_Svy]", ""
TRASSOJKN_API void PutQZJkn_GNSS_BTAddr(int mode, const char* text) noexcept;
TRASSOJKN_API uint32_t GetQZJkn_GNSS_BtPort(int mode) noexcept;  // "BTPort[_Svy]", 0
TRASSOJKN_API void PutQZJkn_GNSS_BtPort(int mode, uint32_t value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_MaskElev(int mode) noexcept;  // "MaskElev[_Svy]", 15
TRASSOJKN_API void PutQZJkn_GNSS_MaskElev(int mode, int value) noexcept;
TRASSOJKN_API uint16_t GetQZJkn_GNSS_MaskSate(int mode) noexcept;  // "MaskSate[_Svy]", 11
TRASSOJKN_API void PutQZJkn_GNSS_MaskSate(int mode, uint16_t value) noexcept;
TRASSOJKN_API uint16_t GetQZJkn_GNSS_MaskSgnl(int mode) noexcept;  // "MaskSgnl[_Svy]", 3
TRASSOJKN_API void PutQZJkn_GNSS_MaskSgnl(int mode, uint16_t value) noexcept;
TRASSOJKN_API uint16_t GetQZJkn_GNSS_Rate() noexcept;  // "Rate", 0
TRASSOJKN_API void PutQZJkn_GNSS_Rate(uint16_t value) noexcept;
TRASSOJKN_API uint16_t GetQZJkn_GNSS_DispREC() noexcept;  // "DispREC", 1
TRASSOJKN_API void PutQZJkn_GNSS_DispREC(uint16_t value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_DispLocus() noexcept;  // "DispLocus", 0
TRASSOJKN_API void PutQZJkn_GNSS_DispLocus(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_CntLocus() noexcept;  // "CntLocus", 20
TRASSOJKN_API void PutQZJkn_GNSS_CntLocus(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_PutMode() noexcept;  // "PutMode", 0
TRASSOJKN_API void PutQZJkn_GNSS_PutMode(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_AfterTime() noexcept;  // "AfterTime", 0
TRASSOJKN_API void PutQZJkn_GNSS_AfterTime(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_IntvalTime() noexcept;  // "IntvalTime", 5
TRASSOJKN_API void PutQZJkn_GNSS_IntvalTime(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_IntvalLeng() noexcept;  // "IntvalLeng", 5000
TRASSOJKN_API void PutQZJkn_GNSS_IntvalLeng(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_UnFixPut() noexcept;  // "UnFixPut", 0
TRASSOJKN_API void PutQZJkn_GNSS_UnFixPut(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_Epoch() noexcept;  // "Epoch", 1
TRASSOJKN_API void PutQZJkn_GNSS_Epoch(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_CntEpoch() noexcept;  // "CntEpoch", 10
TRASSOJKN_API void PutQZJkn_GNSS_CntEpoch(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_TiltObs() noexcept;  // "TiltObs", 0
TRASSOJKN_API void PutQZJkn_GNSS_TiltObs(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_TiltSingleTime() noexcept;  // "SglAfterTime", 0
TRASSOJKN_API void PutQZJkn_GNSS_TiltSingleTime(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_TiltRepeatTime() noexcept;  // "RepAfterTime", 0
TRASSOJKN_API void PutQZJkn_GNSS_TiltRepeatTime(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_TiltAnnounce() noexcept;  // "TiltAnnounce", 1
TRASSOJKN_API void PutQZJkn_GNSS_TiltAnnounce(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_TiltAllowance() noexcept;  // "TiltAllowance", 20
TRASSOJKN_API void PutQZJkn_GNSS_TiltAllowance(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_Declination() noexcept;  // "Declination", 0
TRASSOJKN_API void PutQZJkn_GNSS_Declination(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_DeclinationH() noexcept;  // "DeclinationH", 25
TRASSOJKN_API void PutQZJkn_GNSS_DeclinationH(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_DeclinationV() noexcept;  // "DeclinationV", 40
TRASSOJKN_API void PutQZJkn_GNSS_DeclinationV(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_BubbleSensMinPer2mm() noexcept;  // "BubbleSens", 40
TRASSOJKN_API void PutQZJkn_GNSS_BubbleSensMinPer2mm(int value) noexcept;
// "ImuObs", "UseInitMode", "UseConfirm", 0: read as 0 or 1, written as "1"/"0".
TRASSOJKN_API int GetQZJkn_GNSS_ImuObs() noexcept;
TRASSOJKN_API void PutQZJkn_GNSS_ImuObs(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_ImuRepeatTime() noexcept;  // "ImuRepAfterTime", 0
TRASSOJKN_API void PutQZJkn_GNSS_ImuRepeatTime(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_Init_Pdop() noexcept;  // "InitPDOP", 7
TRASSOJKN_API void PutQZJkn_GNSS_Init_Pdop(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GNSS_Init_UseSatCnt() noexcept;  // "UseSatCnt", 7
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

// RTK radio link, "jkn-gnss-rtk.ini", section "GNSS". "RTKRadio" (0), "RTKHosei"
// (2) and "RTKFlowCTS" (1) are shared; a side other than 0 selects "RTKPortNoS",
// "RTKBaudRateS", "RTKParityS", side 0 the keys ending in "R" (1, 9600, 0). An
// empty baud-rate text reads as 9600, any other as its decimal number.
TRASSOJKN_API void GetQZJkn_GNSS_RTKConnectProp(int side, RTK_CONNECT_PROP& prop) noexcept;
TRASSOJKN_API void PutQZJkn_GNSS_RTKConnectProp(int side, const RTK_CONNECT_PROP& prop) noexcept;

// Rebuilds the merged catalogue "AntennaLocal.ini" (root 0, "inf") from
// "Antenna.ini" and "AntennaSensor.ini" (root 1, "inf"): first the sensor-list
// records whose antenna type "Survey" lists, in "Survey" order, then the sensors
// without antenna type (ID -1). Returns 1 when at least one entry was written.
// An empty sensor list deletes the merged catalogue and returns 0.
TRASSOJKN_API int AntennaInit() noexcept;
// Entry n of the merged catalogue: 1 and rec filled, or 0 with rec untouched.
TRASSOJKN_API int GetAntennaRec(int n, QZ_AntennaRec& rec) noexcept;

// Current antenna, "jkn-gnss.ini", section "GNSS". Offsets and heights are
// stored as decimal texts with ten decimals.
TRASSOJKN_API int GetQZJkn_GNSS_CurrentAntennaID() noexcept;  // "Antenna", 0
TRASSOJKN_API void PutQZJkn_GNSS_CurrentAntennaID(int id) noexcept;
TRASSOJKN_API double GetQZJkn_GNSS_CurrentAntennaOffset() noexcept;  // "aOffset", "0.000"
TRASSOJKN_API void PutQZJkn_GNSS_CurrentAntennaOffset(double offset) noexcept;
TRASSOJKN_API std::string GetQZJkn_GNSS_CurrentAntennaSerialNo() noexcept;  // "aSerialNo", ""
TRASSOJKN_API void PutQZJkn_GNSS_CurrentAntennaSerialNo(const char* text) noexcept;
// Station antenna: "Antenna_sta" (0), "AntennaH_sta" ("0.000"), "aSerialNo_sta" ("").
TRASSOJKN_API void GetQZJkn_GNSS_StaCurrentAntenna(int& id, double& height,
                                                   std::string& serialNo) noexcept;
TRASSOJKN_API void PutQZJkn_GNSS_StaCurrentAntenna(int id, double height,
                                                   const char* serialNo) noexcept;
// Station receiver: "Receiver_sta" (-1), "rSerialNo_sta" ("").
TRASSOJKN_API void GetQZJkn_GNSS_StaCurrentReceiver(int& id, std::string& serialNo) noexcept;
TRASSOJKN_API void PutQZJkn_GNSS_StaCurrentReceiver(int id, const char* serialNo) noexcept;

// Walks the merged catalogue for the first entry of the sensor. Returns 1 when
// there is one: picture is its sensor picture and, when it has an antenna type,
// antenna and offset are that entry's (the walk stops there). Otherwise picture
// is "NMEA.bmp", antenna -1 and offset 0.0. The entries read are appended to list.
TRASSOJKN_API int GetGNSSSensorBmp(int sensor, std::string& picture, int* antenna = nullptr,
                                   double* offset = nullptr,
                                   AntennaCatalogue* list = nullptr) noexcept;
// As GetGNSSSensorBmp, and brings the stored current antenna into line with the
// sensor: returns 1 when current fits (offset is its catalogue offset), else
// stores the sensor's antenna and offset (or 0 and 0.0) and returns 0.
TRASSOJKN_API int GetGNSSSensorBmpAntennaOffset(int current, int sensor, std::string& picture,
                                                double& offset) noexcept;

// ---------------------------------------------------------------------------
// NMEA settings
// ---------------------------------------------------------------------------

// "jkn-nmea.ini", section "NMEA".
TRASSOJKN_API int GetQZJkn_NMEA_Port() noexcept;  // "Port", 1
TRASSOJKN_API void PutQZJkn_NMEA_Port(int value) noexcept;
TRASSOJKN_API uint32_t GetQZJkn_NMEA_BaudRate() noexcept;  // "BaudRate", 19200
TRASSOJKN_API void PutQZJkn_NMEA_BaudRate(uint32_t value) noexcept;
TRASSOJKN_API uint8_t GetQZJkn_NMEA_Parity() noexcept;  // "Parity", 0
TRASSOJKN_API void PutQZJkn_NMEA_Parity(uint8_t value) noexcept;
TRASSOJKN_API uint8_t GetQZJkn_NMEA_ByteSize() noexcept;  // "ByteSize", 8
TRASSOJKN_API void PutQZJkn_NMEA_ByteSize(uint8_t value) noexcept;
TRASSOJKN_API uint8_t GetQZJkn_NMEA_StopBits() noexcept;  // "StopBits", 0
TRASSOJKN_API void PutQZJkn_NMEA_StopBits(uint8_t value) noexcept;
TRASSOJKN_API uint8_t GetQZJkn_NMEA_HandShake() noexcept;  // "HandShake", 0
TRASSOJKN_API void PutQZJkn_NMEA_HandShake(uint8_t value) noexcept;
// "Interval", 1000: written as a signed decimal, so values above 2147483647 are
// stored negative and read back as the same unsigned value.
TRASSOJKN_API uint32_t GetQZJkn_NMEA_Interval() noexcept;
TRASSOJKN_API void PutQZJkn_NMEA_Interval(uint32_t value) noexcept;
TRASSOJKN_API int GetQZJkn_NMEA_SetOpen() noexcept;  // "SetOpen", 0
TRASSOJKN_API void PutQZJkn_NMEA_SetOpen(int value) noexcept;
TRASSOJKN_API int GetQZJkn_NMEA_LoadGeo() noexcept;  // "GEOLOAD", 0
TRASSOJKN_API void PutQZJkn_NMEA_LoadGeo(int value) noexcept;
TRASSOJKN_API std::string GetQZJkn_NMEA_SrcGeoPath() noexcept;  // "GEOPATH", ""
TRASSOJKN_API void PutQZJkn_NMEA_SrcGeoPath(const char* text) noexcept;
TRASSOJKN_API std::string GetQZJkn_NMEA_GeoVer() noexcept;  // "GEOVER", ""
TRASSOJKN_API void PutQZJkn_NMEA_GeoVer(const char* text) noexcept;
// "ConnectComm", 1: returns 1 only for a stored 1; writes "1" for any non-zero
// argument, else "0".
TRASSOJKN_API int GetQZJkn_NMEA_COMM_or_BT() noexcept;
TRASSOJKN_API void PutQZJkn_NMEA_COMM_or_BT(int value) noexcept;
// Bluetooth partner: "BTAddr" ("", at most 31 bytes), then "BTPort" (0).
TRASSOJKN_API void GetQZJkn_NMEA_BtInfo(std::string& address, uint32_t& port) noexcept;
TRASSOJKN_API void PutQZJkn_NMEA_BtInfo(const char* address, uint32_t port) noexcept;

// ---------------------------------------------------------------------------
// Total-station settings, prism lists, automatic loading
// ---------------------------------------------------------------------------

// "jkn-ts.ini", section "TS".
TRASSOJKN_API int GetQZJkn_TS_VKubun() noexcept;            // "VKubun", 1; returned as stored
TRASSOJKN_API void PutQZJkn_TS_VKubun(int value) noexcept;  // writes "1" for non-zero, else "0"
TRASSOJKN_API int GetQZJkn_TS_Port() noexcept;              // "Port", 1
TRASSOJKN_API void PutQZJkn_TS_Port(int value) noexcept;
TRASSOJKN_API int GetQZJkn_TS_SetOpen() noexcept;  // "SetOpen", 0
TRASSOJKN_API void PutQZJkn_TS_SetOpen(int value) noexcept;
TRASSOJKN_API int GetQZJkn_TS_AnglinLen() noexcept;  // "AnglinLen", 100
TRASSOJKN_API void PutQZJkn_TS_AnglinLen(int value) noexcept;
// "ConnectComm", 1 (serial) or 0 (Bluetooth): returns 1 only for a stored 1;
// writes "1" for any non-zero argument, else "0".
TRASSOJKN_API int GetQZJkn_TS_COMM_or_BT() noexcept;
TRASSOJKN_API void PutQZJkn_TS_COMM_or_BT(int value) noexcept;
TRASSOJKN_API bool GetQZJkn_TS_UseScale() noexcept;  // "UseScale", false
TRASSOJKN_API void PutQZJkn_TS_UseScale(bool value) noexcept;
// The two doubles are read through a 32-byte buffer; an empty value gives the default.
TRASSOJKN_API double GetQZJkn_TS_UseScaleValue() noexcept;  // "UseScaleValue", 1.0, "%.6f"
TRASSOJKN_API void PutQZJkn_TS_UseScaleValue(double value) noexcept;
TRASSOJKN_API bool GetQZJkn_TS_UseTouei() noexcept;  // "UseTouei", false
TRASSOJKN_API void PutQZJkn_TS_UseTouei(bool value) noexcept;
TRASSOJKN_API double GetQZJkn_TS_UseToueiValue() noexcept;  // "UseToueiValue", 0.0, "%.3f"
TRASSOJKN_API void PutQZJkn_TS_UseToueiValue(double value) noexcept;
TRASSOJKN_API bool GetQZJkn_TS_TurnVAngFix() noexcept;  // "TurnVAngFix", false
TRASSOJKN_API void PutQZJkn_TS_TurnVAngFix(bool value) noexcept;
// "def-ts.ini", section "TS". "BtDevAddr", "": at most 31 bytes are returned.
TRASSOJKN_API std::string GetQZJkn_TS_BtDevAddr() noexcept;
TRASSOJKN_API void PutQZJkn_TS_BtDevAddr(const char* text) noexcept;
// "ZETR_UseBtRadio" (false), "ZETR_BtRadioCh" (1), "ZETR_BtRadioNw" (1); all three
// out-arguments are always assigned.
TRASSOJKN_API void GetQZJkn_TS_ZETRBtRadio(bool& use, int& channel, int& network) noexcept;
TRASSOJKN_API void PutQZJkn_TS_ZETRBtRadio(bool use, int channel, int network) noexcept;
// "DSP"/"STJ" (true) of the ZETR profile at GetQZJkn_ZETR_Path().
TRASSOJKN_API bool GetQZJkn_TS_Dsp_StartupJkn() noexcept;
TRASSOJKN_API void PutQZJkn_TS_Dsp_StartupJkn(bool value) noexcept;

// Prism lists: "def-ts.ini", sections "Psm" and "Psm2". "Max" defaults to 8,
// "Cnt" to 0; entries use the decimal index as key (no offset, no range check),
// are read through a 40-byte buffer and default to value -000 with the name
// "no name given" (code page 932).
TRASSOJKN_API int GetQZJkn_TS_PsmMax() noexcept;
TRASSOJKN_API void PutQZJkn_TS_PsmMax(int value) noexcept;
TRASSOJKN_API int GetQZJkn_TS_PsmCnt() noexcept;
TRASSOJKN_API void PutQZJkn_TS_PsmCnt(int value) noexcept;
TRASSOJKN_API std::string GetQZJkn_TS_Psm(int index) noexcept;
TRASSOJKN_API void PutQZJkn_TS_Psm(int index, const char* text) noexcept;
TRASSOJKN_API int GetQZJkn_TS_Psm2Max() noexcept;
TRASSOJKN_API void PutQZJkn_TS_Psm2Max(int value) noexcept;
TRASSOJKN_API int GetQZJkn_TS_Psm2Cnt() noexcept;
TRASSOJKN_API void PutQZJkn_TS_Psm2Cnt(int value) noexcept;
TRASSOJKN_API std::string GetQZJkn_TS_Psm2(int index) noexcept;
TRASSOJKN_API void PutQZJkn_TS_Psm2(int index, const char* text) noexcept;
// Parses a prism entry: value, "mm" and a full-width colon, name. Returns 1 with value and name set
// (the name up to its first blank), or 0: for a first token that is empty, longer
// than 4 characters or holds anything but "-" and digits (value and name
// untouched), and for a value outside -999 to 999 (value set, name untouched).
TRASSOJKN_API int GetQZJkn_TS_Psm_FromStr(const char* entry, int& value,
                                          std::string& name) noexcept;
// "%d", "mm", the full-width colon, then name; no range check.
TRASSOJKN_API std::string PutQZJkn_TS_Psm_ToStr(const char* name, int value) noexcept;

// Automatic loading: "jkn-ts.ini", section "TS". "AutoLoadKH" holds no value
// when it reads as 1e-16 (missing or empty key).
TRASSOJKN_API int GetQZJkn_TS_AutoLoad() noexcept;  // "AutoLoad", 0
// Writes the value and resets the set-up: Kno 0, Bno 0, KH empty, ObsPane 99.
TRASSOJKN_API void PutQZJkn_TS_AutoLoad(int value) noexcept;
// Fills each non-null pointer (Kno 0, Bno 0, KH 1e-16, ObsPane 99 by default);
// returns 1 when "AutoLoad" is non-zero, else 0.
TRASSOJKN_API int GetQZJkn_TS_AutoLoad_Ex(uint32_t* kno, uint32_t* bno, double* kh,
                                          int* pane) noexcept;
// Writes AutoLoad ("%d" as given), Kno, Bno ("%lu"), KH (empty for exactly 1e-16,
// else "%.3f") and ObsPane ("%d"), in that order.
TRASSOJKN_API void PutQZJkn_TS_AutoLoad_Ex(int on, uint32_t kno, uint32_t bno, double kh,
                                           int pane) noexcept;

// ---------------------------------------------------------------------------
// Instrument profiles (ZETR, PL30) and setting-out
// ---------------------------------------------------------------------------

// ZETR instrument profile: a file the caller names (path; null is the empty
// text). Validating setters return false, writing nothing, for a value outside
// the range shown (NaN included), and false for a failed write. Pairs are
// checked first, then written first-then-second; true only when both writes
// succeeded. Doubles are written with "%f", flags as "1"/"0", integers "%d".
TRASSOJKN_API bool GetQZJkn_ZETR_Dsp_StartupJkn(const char* path) noexcept;  // "DSP"/"STJ", true
TRASSOJKN_API void PutQZJkn_ZETR_Dsp_StartupJkn(const char* path, bool value) noexcept;
TRASSOJKN_API bool GetQZJkn_ZETR_Dst_UseDstHosei(const char* path) noexcept;  // "DST"/"USE", false
TRASSOJKN_API void PutQZJkn_ZETR_Dst_UseDstHosei(const char* path, bool value) noexcept;
// "DST"/"CEN" 20.0 (-70 to 70) and "DST"/"HPA" 1013.25 (500 to 1200).
TRASSOJKN_API void GetQZJkn_ZETR_Dst_CentigradePress(const char* path, double& temperature,
                                                     double& pressure) noexcept;
TRASSOJKN_API bool PutQZJkn_ZETR_Dst_CentigradePress(const char* path, double temperature,
                                                     double pressure) noexcept;
TRASSOJKN_API int GetQZJkn_ZETR_Ang_DispMode(const char* path) noexcept;  // "ANG"/"MOD", 1 (1-3)
TRASSOJKN_API bool PutQZJkn_ZETR_Ang_DispMode(const char* path, int mode) noexcept;
TRASSOJKN_API int GetQZJkn_ZETR_Tgt1_PsmType(const char* path) noexcept;  // "TGT"/"TYP", 1 (1-5)
TRASSOJKN_API bool PutQZJkn_ZETR_Tgt1_PsmType(const char* path, int type) noexcept;
// "TGT"/"PV1", 0 (-999 to 999)
TRASSOJKN_API int GetQZJkn_ZETR_Tgt1_PsmValue(const char* path) noexcept;
TRASSOJKN_API bool PutQZJkn_ZETR_Tgt1_PsmValue(const char* path, int value) noexcept;
TRASSOJKN_API int GetQZJkn_ZETR_Tgt1_HowAutolock(
    const char* path) noexcept;  // "TGT"/"HOW", 1 (1-2)
TRASSOJKN_API bool PutQZJkn_ZETR_Tgt1_HowAutolock(const char* path, int how) noexcept;
TRASSOJKN_API int GetQZJkn_ZETR_Tgt1_ID(const char* path) noexcept;  // "TGT"/"TID", 0 (0-8)
TRASSOJKN_API bool PutQZJkn_ZETR_Tgt1_ID(const char* path, int id) noexcept;
// "TGT"/"AOF", false; any value, returns whether the write succeeded.
TRASSOJKN_API bool GetQZJkn_ZETR_Tgt1_AutoOff(const char* path) noexcept;
TRASSOJKN_API bool PutQZJkn_ZETR_Tgt1_AutoOff(const char* path, bool value) noexcept;
// "TGT"/"PV2", 0 (-999 to 999)
TRASSOJKN_API int GetQZJkn_ZETR_Tgt2_PsmValue(const char* path) noexcept;
TRASSOJKN_API bool PutQZJkn_ZETR_Tgt2_PsmValue(const char* path, int value) noexcept;
TRASSOJKN_API int GetQZJkn_ZETR_Npr_Value(const char* path) noexcept;  // "NPR"/"VAL", 3 (1-99)
TRASSOJKN_API bool PutQZJkn_ZETR_Npr_Value(const char* path, int value) noexcept;
// "NPR"/"RMN" 1 and "NPR"/"RMX" 999, each 1 to 9999 (minimum above maximum allowed).
TRASSOJKN_API void GetQZJkn_ZETR_Npr_RangeValue(const char* path, int& minimum,
                                                int& maximum) noexcept;
TRASSOJKN_API bool PutQZJkn_ZETR_Npr_RangeValue(const char* path, int minimum,
                                                int maximum) noexcept;
TRASSOJKN_API int GetQZJkn_ZETR_Aut_Time(const char* path) noexcept;  // "AUT"/"TIM", 2 (0-3)
TRASSOJKN_API bool PutQZJkn_ZETR_Aut_Time(const char* path, int time) noexcept;
// "SCH"/"HOR" 30 degrees and "SCH"/"VER" 10 degrees, radians, each 0 to 2 pi.
TRASSOJKN_API void GetQZJkn_ZETR_Sch_HVRangeRad(const char* path, double& horizontal,
                                                double& vertical) noexcept;
TRASSOJKN_API bool PutQZJkn_ZETR_Sch_HVRangeRad(const char* path, double horizontal,
                                                double vertical) noexcept;
TRASSOJKN_API int GetQZJkn_ZETR_Rti_Percent(const char* path) noexcept;  // "HRD"/"RTI", 0 (0-100)
TRASSOJKN_API bool PutQZJkn_ZETR_Rti_Percent(const char* path, int percent) noexcept;
// "HRD"/"BLT", false; any value, returns whether the write succeeded.
TRASSOJKN_API bool GetQZJkn_ZETR_Blt_OnOff(const char* path) noexcept;
TRASSOJKN_API bool PutQZJkn_ZETR_Blt_OnOff(const char* path, bool value) noexcept;
TRASSOJKN_API bool GetQZJkn_ZETR_PsmMode(const char* path) noexcept;  // "OBS"/"PMD", true
TRASSOJKN_API void PutQZJkn_ZETR_PsmMode(const char* path, bool value) noexcept;
TRASSOJKN_API bool GetQZJkn_ZETR_MsrMode(const char* path) noexcept;  // "OBS"/"MMD", true
TRASSOJKN_API void PutQZJkn_ZETR_MsrMode(const char* path, bool value) noexcept;
TRASSOJKN_API bool GetQZJkn_ZETR_AF_Alignment(const char* path) noexcept;  // "AFS"/"AGN", false
TRASSOJKN_API void PutQZJkn_ZETR_AF_Alignment(const char* path, bool value) noexcept;
TRASSOJKN_API bool GetQZJkn_ZETR_AF_AutoLock(const char* path) noexcept;  // "AFS"/"ALK", false
TRASSOJKN_API void PutQZJkn_ZETR_AF_AutoLock(const char* path, bool value) noexcept;
TRASSOJKN_API bool GetQZJkn_ZETR_AF_SideButton(const char* path) noexcept;  // "AFS"/"SBF", false
TRASSOJKN_API void PutQZJkn_ZETR_AF_SideButton(const char* path, bool value) noexcept;
// Removes the whole section "OBS", then flushes the file.
TRASSOJKN_API void ClearQZJkn_ZETR_OBS(const char* path) noexcept;

// PL30 instrument profile: same file layout as ZETR for "DST", "ANG", "TGT", "NPR",
// "AUT", "SCH". Where shown, the operation is the ZETR one under a second name.
TRASSOJKN_API bool GetQZJkn_PL30_Dst_UseDstHosei(const char* path) noexcept;              // = ZETR
TRASSOJKN_API void PutQZJkn_PL30_Dst_UseDstHosei(const char* path, bool value) noexcept;  // = ZETR
TRASSOJKN_API void GetQZJkn_PL30_Dst_CentigradePress(const char* path, double& temperature,
                                                     double& pressure) noexcept;  // = ZETR
// Ranges as ZETR, but true for values in range even when a write failed.
TRASSOJKN_API bool PutQZJkn_PL30_Dst_CentigradePress(const char* path, double temperature,
                                                     double pressure) noexcept;
TRASSOJKN_API int GetQZJkn_PL30_Ang_DispMode(const char* path) noexcept;             // = ZETR
TRASSOJKN_API bool PutQZJkn_PL30_Ang_DispMode(const char* path, int mode) noexcept;  // = ZETR
TRASSOJKN_API int GetQZJkn_PL30_Tgt_PsmType(const char* path) noexcept;              // = ZETR Tgt1
TRASSOJKN_API bool PutQZJkn_PL30_Tgt_PsmType(const char* path, int type) noexcept;   // 1-3
TRASSOJKN_API int GetQZJkn_PL30_Tgt_PsmValue(const char* path) noexcept;             // = ZETR Tgt1
TRASSOJKN_API bool PutQZJkn_PL30_Tgt_PsmValue(const char* path, int value) noexcept;
TRASSOJKN_API int GetQZJkn_PL30_Tgt_PsmValue2(const char* path) noexcept;  // = ZETR Tgt2
TRASSOJKN_API bool PutQZJkn_PL30_Tgt_PsmValue2(const char* path, int value) noexcept;
TRASSOJKN_API int GetQZJkn_PL30_Npr_Value(const char* path) noexcept;              // "NPR"/"VAL", 1
TRASSOJKN_API bool PutQZJkn_PL30_Npr_Value(const char* path, int value) noexcept;  // = ZETR
TRASSOJKN_API int GetQZJkn_PL30_Aut_Time(const char* path) noexcept;               // = ZETR
TRASSOJKN_API bool PutQZJkn_PL30_Aut_Time(const char* path, int time) noexcept;    // = ZETR
TRASSOJKN_API bool GetQZJkn_PL30_Aut_LockLiveViewOff(
    const char* path) noexcept;  // "AUT"/"LVF", true
TRASSOJKN_API void PutQZJkn_PL30_Aut_LockLiveViewOff(const char* path, bool value) noexcept;
TRASSOJKN_API bool GetQZJkn_PL30_Sch_UseAutoSearch(
    const char* path) noexcept;  // "SCH"/"USE", false
TRASSOJKN_API void PutQZJkn_PL30_Sch_UseAutoSearch(const char* path, bool value) noexcept;
// "SCH"/"HOR" and "SCH"/"VER": 2 degrees in radians, each set alone, 0 to pi.
TRASSOJKN_API double GetQZJkn_PL30_Sch_HRangeRad(const char* path) noexcept;
TRASSOJKN_API bool PutQZJkn_PL30_Sch_HRangeRad(const char* path, double angle) noexcept;
TRASSOJKN_API double GetQZJkn_PL30_Sch_VRangeRad(const char* path) noexcept;
TRASSOJKN_API bool PutQZJkn_PL30_Sch_VRangeRad(const char* path, double angle) noexcept;

// Setting-out file named by the caller ("jkn-soku.ini" in its default place).
// No setter checks its value; doubles are written with "%f", flags "1"/"0".
TRASSOJKN_API int GetQZJkn_Soku_DstMode(const char* path) noexcept;  // "HOSEI"/"DSTMODE", 2
TRASSOJKN_API void PutQZJkn_Soku_DstMode(const char* path, int value) noexcept;
TRASSOJKN_API double GetQZJkn_Soku_Scale(const char* path) noexcept;  // "HOSEI"/"SCL", 1.0
TRASSOJKN_API void PutQZJkn_Soku_Scale(const char* path, double value) noexcept;
TRASSOJKN_API double GetQZJkn_Soku_AveH(const char* path) noexcept;  // "HOSEI"/"AVEH", 0.0
TRASSOJKN_API void PutQZJkn_Soku_AveH(const char* path, double value) noexcept;
TRASSOJKN_API bool GetQZJkn_Soku_POS_P_T(const char* path) noexcept;  // "POS"/"P_T", true
TRASSOJKN_API void PutQZJkn_Soku_POS_P_T(const char* path, bool value) noexcept;
// Section "RNG_MINMAX": "RNG_MINF" false, "RNG_MIND" 2.0, "RNG_MAXF" false, "RNG_MAXD" 100.0.
TRASSOJKN_API bool GetQZJkn_Soku_RangeMinFlag(const char* path) noexcept;
TRASSOJKN_API void PutQZJkn_Soku_RangeMinFlag(const char* path, bool value) noexcept;
TRASSOJKN_API double GetQZJkn_Soku_RangeMinDst(const char* path) noexcept;
TRASSOJKN_API void PutQZJkn_Soku_RangeMinDst(const char* path, double value) noexcept;
TRASSOJKN_API bool GetQZJkn_Soku_RangeMaxFlag(const char* path) noexcept;
TRASSOJKN_API void PutQZJkn_Soku_RangeMaxFlag(const char* path, bool value) noexcept;
TRASSOJKN_API double GetQZJkn_Soku_RangeMaxDst(const char* path) noexcept;
TRASSOJKN_API void PutQZJkn_Soku_RangeMaxDst(const char* path, double value) noexcept;
TRASSOJKN_API bool GetQZJkn_Soku_DataOrder(const char* path) noexcept;  // "ORDER"/"DATA", true
TRASSOJKN_API void PutQZJkn_Soku_DataOrder(const char* path, bool value) noexcept;
// Section "ZEROBO": "LIGHTON" false, "CHANGETRK" true, "TRMCM" false, "NORMALONCE"
// false, "RNGSNDF" false, "RNGSNDD" 1.0, "RNGINDSPF" false, "RNGINDSPD" 2.0,
// "RNGOUTDSP" false, "RNGOUTDSPD" 3.0, "USEXYCHECK" false.
TRASSOJKN_API bool GetQZJkn_Soku_AutoLightOn(const char* path) noexcept;
TRASSOJKN_API void PutQZJkn_Soku_AutoLightOn(const char* path, bool value) noexcept;
TRASSOJKN_API bool GetQZJkn_Soku_ChangeTRK(const char* path) noexcept;
TRASSOJKN_API void PutQZJkn_Soku_ChangeTRK(const char* path, bool value) noexcept;
TRASSOJKN_API bool GetQZJkn_Soku_TRK_cm(const char* path) noexcept;
TRASSOJKN_API void PutQZJkn_Soku_TRK_cm(const char* path, bool value) noexcept;
TRASSOJKN_API bool GetQZJkn_Soku_NormalOnce(const char* path) noexcept;
TRASSOJKN_API void PutQZJkn_Soku_NormalOnce(const char* path, bool value) noexcept;
TRASSOJKN_API bool GetQZJkn_Soku_RangeInSoundFlag(const char* path) noexcept;
TRASSOJKN_API void PutQZJkn_Soku_RangeInSoundFlag(const char* path, bool value) noexcept;
TRASSOJKN_API double GetQZJkn_Soku_RangeInSoundDst(const char* path) noexcept;
TRASSOJKN_API void PutQZJkn_Soku_RangeInSoundDst(const char* path, double value) noexcept;
TRASSOJKN_API bool GetQZJkn_Soku_RangeInDispFlag(const char* path) noexcept;
TRASSOJKN_API void PutQZJkn_Soku_RangeInDispFlag(const char* path, bool value) noexcept;
TRASSOJKN_API double GetQZJkn_Soku_RangeInDispDst(const char* path) noexcept;
TRASSOJKN_API void PutQZJkn_Soku_RangeInDispDst(const char* path, double value) noexcept;
TRASSOJKN_API bool GetQZJkn_Soku_RangeOutDispFlag(const char* path) noexcept;
TRASSOJKN_API void PutQZJkn_Soku_RangeOutDispFlag(const char* path, bool value) noexcept;
TRASSOJKN_API double GetQZJkn_Soku_RangeOutDispDst(const char* path) noexcept;
TRASSOJKN_API void PutQZJkn_Soku_RangeOutDispDst(const char* path, double value) noexcept;
TRASSOJKN_API bool GetQZJkn_Soku_UseXYCheckFlag(const char* path) noexcept;
TRASSOJKN_API void PutQZJkn_Soku_UseXYCheckFlag(const char* path, bool value) noexcept;
// Section "STARTOP": "OPRNSOKP" true, "OPRNSOKM" false. The forms without a path
// read the file at GetQZJkn_Soku_Path().
TRASSOJKN_API bool GetQZJkn_Soku_OpenSokusetsuProp(const char* path) noexcept;
TRASSOJKN_API bool GetQZJkn_Soku_OpenSokusetsuProp() noexcept;
TRASSOJKN_API void PutQZJkn_Soku_OpenSokusetsuProp(const char* path, bool value) noexcept;
TRASSOJKN_API bool GetQZJkn_Soku_OpenSokusetsuMake(const char* path) noexcept;
TRASSOJKN_API bool GetQZJkn_Soku_OpenSokusetsuMake() noexcept;
TRASSOJKN_API void PutQZJkn_Soku_OpenSokusetsuMake(const char* path, bool value) noexcept;

// ---------------------------------------------------------------------------
// Display and guidance-screen settings
// ---------------------------------------------------------------------------

// Item switches: key of section "Use" in "def-share.ini", "def-ts.ini" or
// "def-nmea.ini", chosen by item code 0 to 53. The first argument is ignored.
// The getter returns the stored integer (0 for an unassigned code: 25, below 0,
// above 53); the setter writes "1" for any non-zero value, else "0", and nothing
// for an unassigned code.
TRASSOJKN_API int GetQZJkn_Use(int ignored, int item) noexcept;
TRASSOJKN_API void PutQZJkn_Use(int ignored, int item, int value) noexcept;

// Lists: integer keys "Max" and "Cnt" and text entries keyed by the entry number
// ("%d"). Mkhy: "def-ts.ini" [Mkhy]; Antn: "def-nmea.ini" [Antn]; GnssAntn:
// "def-gnss.ini" [Antn]; all with Max 8, Cnt 0 and entries "0.000" read with a
// 20-byte buffer. Memo: "def-share.ini" [Memo], Max 10, Cnt 0, entries "" read
// with an 81-byte buffer.
TRASSOJKN_API std::string GetQZJkn_Kihi() noexcept;  // "def-ts.ini" [Kkou] "Kkou", "0.000" (20)
TRASSOJKN_API void PutQZJkn_Kihi(const char* text) noexcept;
TRASSOJKN_API int GetQZJkn_MkhyMax() noexcept;
TRASSOJKN_API void PutQZJkn_MkhyMax(int value) noexcept;
TRASSOJKN_API int GetQZJkn_MkhyCnt() noexcept;
TRASSOJKN_API void PutQZJkn_MkhyCnt(int value) noexcept;
TRASSOJKN_API std::string GetQZJkn_Mkhy(int n) noexcept;
TRASSOJKN_API void PutQZJkn_Mkhy(int n, const char* text) noexcept;
TRASSOJKN_API int GetQZJkn_AntnMax() noexcept;
TRASSOJKN_API void PutQZJkn_AntnMax(int value) noexcept;
TRASSOJKN_API int GetQZJkn_AntnCnt() noexcept;
TRASSOJKN_API void PutQZJkn_AntnCnt(int value) noexcept;
TRASSOJKN_API std::string GetQZJkn_Antn(int n) noexcept;
TRASSOJKN_API void PutQZJkn_Antn(int n, const char* text) noexcept;
TRASSOJKN_API int GetQZJkn_GnssAntnMax() noexcept;
TRASSOJKN_API void PutQZJkn_GnssAntnMax(int value) noexcept;
TRASSOJKN_API int GetQZJkn_GnssAntnCnt() noexcept;
TRASSOJKN_API void PutQZJkn_GnssAntnCnt(int value) noexcept;
TRASSOJKN_API std::string GetQZJkn_GnssAntn(int n) noexcept;
TRASSOJKN_API void PutQZJkn_GnssAntn(int n, const char* text) noexcept;
TRASSOJKN_API int GetQZJkn_MemoMax() noexcept;
TRASSOJKN_API void PutQZJkn_MemoMax(int value) noexcept;
TRASSOJKN_API int GetQZJkn_MemoCnt() noexcept;
TRASSOJKN_API void PutQZJkn_MemoCnt(int value) noexcept;
TRASSOJKN_API std::string GetQZJkn_Memo(int n) noexcept;
TRASSOJKN_API void PutQZJkn_Memo(int n, const char* text) noexcept;

// Screen colours of catalogue file `file`, section "%d" of `section`, key by
// `which`: 0 "MessBak", 1 "MessFor", 2 "BtnNorm", 3 "BtnPush", 4 "FuncBak";
// default white. Any other `which`, or a file id outside the catalogue, reads
// white and writes nothing. Colours are written "%3d,%3d,%3d".
TRASSOJKN_API uint32_t GetQZJkn_Color(int file, int which, int section) noexcept;
TRASSOJKN_API void PutQZJkn_Color(int file, int which, int section, uint32_t colour) noexcept;
// Catalogue file `file`, [0] "RecSize", 0, low 8 bits; written "%d".
TRASSOJKN_API uint8_t GetQZJkn_RecSize(int file) noexcept;
TRASSOJKN_API void PutQZJkn_RecSize(int file, uint8_t size) noexcept;

// Single values of "def-share.ini".
TRASSOJKN_API uint8_t GetQZJkn_RecMax() noexcept;    // [Rec] "Max", 0, low 8 bits
TRASSOJKN_API int GetQZJkn_SUPtInfoForm() noexcept;  // [SU] "FORM", 7
TRASSOJKN_API void PutQZJkn_SUPtInfoForm(int value) noexcept;
TRASSOJKN_API int GetQZJkn_CadSetDef() noexcept;  // [CAD] "Def", 0
TRASSOJKN_API void PutQZJkn_CadSetDef(int value) noexcept;

// Log display, "def-share.ini" [Logg]; read only.
TRASSOJKN_API uint32_t GetQZJkn_LogColor() noexcept;  // "LCOL", "128,128,255"
TRASSOJKN_API int GetQZJkn_LogLineW() noexcept;       // "LLIN", 2
TRASSOJKN_API int GetQZJkn_LogPlotS() noexcept;       // "LPNT", 10
TRASSOJKN_API int GetQZJkn_LogOfst1() noexcept;       // "LOF1", -2
TRASSOJKN_API int GetQZJkn_LogOfst2() noexcept;       // "LOF2", -3
TRASSOJKN_API int GetQZJkn_LogDispCnt() noexcept;     // "LCNT", 100
TRASSOJKN_API int GetQZJkn_LogDispAll() noexcept;     // "LALL", 0

// Sound names: "sound.ini" (root 1) [Wav], key "%d" of n, "" (260); read only.
TRASSOJKN_API std::string GetQZJkn_WavName(int n) noexcept;

// Stake-out graphics, "def-share.ini" [SKSG]. Entry n has keys "COL", "WDT" and
// "TYP" followed by n; the caller gives the default.
TRASSOJKN_API uint32_t GetQZJkn_SksColor(int n, const char* def) noexcept;
TRASSOJKN_API void PutQZJkn_SksColor(int n, uint32_t colour) noexcept;
TRASSOJKN_API int GetQZJkn_SksWidth(int n, int def) noexcept;
TRASSOJKN_API void PutQZJkn_SksWidth(int n, int width) noexcept;
TRASSOJKN_API int GetQZJkn_SksType(int n, int def) noexcept;
TRASSOJKN_API void PutQZJkn_SksType(int n, int type) noexcept;
TRASSOJKN_API uint32_t GetQZJkn_SksNormColor() noexcept;  // "NCOL", "153,153,255"
TRASSOJKN_API void PutQZJkn_SksNormColor(uint32_t colour) noexcept;
TRASSOJKN_API uint32_t GetQZJkn_SksErrColor() noexcept;  // "WCOL", "255,153,255"
TRASSOJKN_API void PutQZJkn_SksErrColor(uint32_t colour) noexcept;
TRASSOJKN_API uint32_t GetQZJkn_SksOverColor() noexcept;  // "HCOL", "153,255,153"
TRASSOJKN_API void PutQZJkn_SksOverColor(uint32_t colour) noexcept;

// Rectangle observation, "def-share.ini" [RCOB].
TRASSOJKN_API uint16_t GetQZJkn_RectObsKanCode() noexcept;  // "CODE", 9998
TRASSOJKN_API void PutQZJkn_RectObsKanCode(uint16_t value) noexcept;
TRASSOJKN_API uint16_t GetQZJkn_RectObsMode() noexcept;  // "MODE", 0
TRASSOJKN_API void PutQZJkn_RectObsMode(uint16_t value) noexcept;
// "WIDE", text "0.5" read with a 32-byte buffer and converted (an empty value
// gives 0.0); written "%.3f".
TRASSOJKN_API double GetQZJkn_RectObsWide() noexcept;
TRASSOJKN_API void PutQZJkn_RectObsWide(double value) noexcept;

// Zoom, "def-share.ini" [GZPROP]. Modes 0, 1, 2: small, medium, large.
TRASSOJKN_API uint16_t GetQZJkn_ObsMainZoomMode() noexcept;  // "OMZ", 0
TRASSOJKN_API void PutQZJkn_ObsMainZoomMode(uint16_t mode) noexcept;
TRASSOJKN_API uint16_t GetQZJkn_ObsCtrlZoomMode() noexcept;  // "OCZ", 0
TRASSOJKN_API void PutQZJkn_ObsCtrlZoomMode(uint16_t mode) noexcept;
TRASSOJKN_API uint16_t GetQZJkn_AssistMainZoomMode() noexcept;  // "ASZ", 1
TRASSOJKN_API void PutQZJkn_AssistMainZoomMode(uint16_t mode) noexcept;
// Scale of a zoom mode, read like "WIDE". Main: "SML" "1.0", "MDL" "1.2",
// "LRG" "1.4", other modes as 0. Assist: "A_SML" "0.8", "A_MDL" "1.0",
// "A_LRG" "1.2", other modes as 1.
TRASSOJKN_API double GetQZJkn_ZoomModeScale(uint16_t mode) noexcept;
TRASSOJKN_API double GetQZJkn_AssistMainZoomModeScale(uint16_t mode) noexcept;

// Observation screen: [ZOKEX] "STEDMODE", true; [OBSSEC] "STKDSPMODE", 0;
// [OBSSEC] "STKNNONDELETE", false. Flags are true when not 0, written "1"/"0".
TRASSOJKN_API bool GetQZJkn_ObsZokExStartEndCmdMode() noexcept;
TRASSOJKN_API void PutQZJkn_ObsZokExStartEndCmdMode(bool on) noexcept;
TRASSOJKN_API uint16_t GetQZJkn_ObsStkDispMode() noexcept;
TRASSOJKN_API void PutQZJkn_ObsStkDispMode(uint16_t mode) noexcept;
TRASSOJKN_API bool GetQZJkn_ObsZokStockNonDelete() noexcept;
TRASSOJKN_API void PutQZJkn_ObsZokStockNonDelete(bool on) noexcept;

// ---------------------------------------------------------------------------
// Reference catalogues: NTRIP casters, plane rectangular coordinate zones
// ---------------------------------------------------------------------------

// NTRIP caster catalogue: "NTrip.ini" of root 1, section "NTrip", read only.
// Provider numbers pn count from 1; keys are "Co" + "%02d" of pn + field.
// Number of providers: "CoCnt", 0.
TRASSOJKN_API int GetNTrip_Co_Cnt() noexcept;
// Fills rec from provider pn = index + 1 (16-bit): Name "Nam", Index low 8 bits
// of "Idx", Address "Adr", Sct low 8 bits of "Sct" (pn 65535 reads these four
// without number), then appends "Prt000".."Prt<n-1>" (n = low 16 bits of
// "PrtCnt") to the ports already in rec. Returns 1 when Index > 0, Address is not
// empty and rec holds a port, else 0; 0 for a null rec.
TRASSOJKN_API int GetNTrip_Co_Info(uint16_t index, CompanyRec* rec) noexcept;
// Number of streams of list kind (1: "Vrs", any other: "Rrs"): "Co<pn><list>Cnt", 0.
TRASSOJKN_API int GetNTrip_Protcol_Cnt(uint8_t pn, uint8_t kind) noexcept;
// Fills rec from stream entry of the list: fields "i", "n", "m", "x" under
// "Co<pn><list><entry %02u>" (entry 65535: "Co<pn><list>" alone). Id is
// ((pn * 10 + kind) * 100 + i) modulo 65536. Returns 1 when Id > 0 and both texts
// are not empty, else 0; 0 for a null rec.
TRASSOJKN_API int GetNTrip_Protocol_Info(uint8_t pn, uint8_t kind, uint16_t entry,
                                         NTripRec* rec) noexcept;

// Plane rectangular coordinate zones: the fixed table of the 19 zones, and the
// selected zone in "<folder>\HmnZaKei.ini", section "HMNZAKEI", key "NO".
TRASSOJKN_API int GetHmnZaKeiCnt() noexcept;  // always 19
// Row index 0..18: sets number and code page 932 name and returns 1; any other
// index returns 0 and leaves both untouched.
TRASSOJKN_API int GetHmnZaKeiInfo(int index, uint16_t& number, std::string& name) noexcept;
// Low 16 bits of "NO", 1; not checked against the table.
TRASSOJKN_API uint16_t GetHmnZaKei(const char* folder) noexcept;
// Numbers outside 1..19 return 0 and write nothing; others are written with "%u"
// and return 1, also when the write fails.
TRASSOJKN_API int SetHmnZaKei(const char* folder, uint16_t number) noexcept;

// ---------------------------------------------------------------------------
// Tools: point names, geoid files
// ---------------------------------------------------------------------------

// Station name of a running value: number of whole intervals q (floored) and the
// remainder r, both rounded to decimals by rule. Mode 0: prefix + q, with "+" and
// r when r is not zero; 1: "+" and r alone, or prefix + q when r is zero; 2: the
// value itself (a whole number when it is a multiple of interval); 3: empty. The
// remainder is right-aligned to decimals + 1 + the digits of interval. Values
// outside -999999.9999..9999999.9999 give q and r 0 (not in mode 2). Other modes
// and interval 0 give empty text. The name is cut to 16 bytes, never inside a
// double-byte character of the prefix.
TRASSOJKN_API std::string QZJknTool_MakeNoName(int mode, double value, const char* prefix,
                                               uint16_t interval, int16_t decimals,
                                               int16_t rule) noexcept;
// Whether the file is a geoid grid in the ISG format.
TRASSOJKN_API bool QZJknTool_IsGeoidFileISG(const char* path) noexcept;
// Version of a geoid file: an ISG file's version text, given a leading "ver"
// unless it holds one in any case; for a text grid, the eighth space-separated
// field of its first line, or "ver1.0" when it has exactly seven. Empty text when
// there is none or the file cannot be read.
TRASSOJKN_API std::string QZJknTool_GetGeoidFileVer(const char* path) noexcept;

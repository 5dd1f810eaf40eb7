#pragma once

namespace vorelle {

// The dialogs' control ids, as each control of a form in res/forms carries
// its own in the `controlId` property: a test finds a control by its id and so
// reads like the form. One namespace per dialog, one name per control, after
// the control's name in its form.
namespace control_id {

// Basic Settings: BasicSettingsDialog.ui
namespace basic_settings {
inline constexpr int TemperatureUnit = 1006;
inline constexpr int PressureUnit = 1009;
inline constexpr int WindUnit = 1008;
inline constexpr int RainUnit = 1010;
inline constexpr int LightUnit = 1007;
inline constexpr int Sensor = 1013;
inline constexpr int Frequency = 1018;
inline constexpr int TimeZone = 1011;
inline constexpr int DaylightSaving = 1019;
inline constexpr int Interval = 1014;
inline constexpr int SaveButton = 1005;
inline constexpr int CancelButton = 1037;
}  // namespace basic_settings

// Alarm Settings: AlarmDialog.ui
namespace alarm_settings {
inline constexpr int SelectAllHigh = 1050;
inline constexpr int SelectAllLow = 1051;
inline constexpr int IndoorTempHigh = 1014;
inline constexpr int IndoorTempHighOn = 1013;
inline constexpr int IndoorHumidityHigh = 1016;
inline constexpr int IndoorHumidityHighOn = 1021;
inline constexpr int OutdoorTempHigh = 1033;
inline constexpr int OutdoorTempHighOn = 1035;
inline constexpr int OutdoorHumidityHigh = 1034;
inline constexpr int OutdoorHumidityHighOn = 1036;
inline constexpr int AbsPressureHigh = 1041;
inline constexpr int AbsPressureHighOn = 1042;
inline constexpr int RelPressureHigh = 1043;
inline constexpr int RelPressureHighOn = 1045;
inline constexpr int FeelsLikeHigh = 1044;
inline constexpr int FeelsLikeHighOn = 1046;
inline constexpr int DewPointHigh = 1015;
inline constexpr int DewPointHighOn = 1020;
inline constexpr int WindSpeed = 1017;
inline constexpr int WindSpeedOn = 1022;
inline constexpr int GustSpeed = 1018;
inline constexpr int GustSpeedOn = 1023;
inline constexpr int IndoorTempLow = 1025;
inline constexpr int IndoorTempLowOn = 1028;
inline constexpr int IndoorHumidityLow = 1027;
inline constexpr int IndoorHumidityLowOn = 1030;
inline constexpr int OutdoorTempLow = 1037;
inline constexpr int OutdoorTempLowOn = 1039;
inline constexpr int OutdoorHumidityLow = 1038;
inline constexpr int OutdoorHumidityLowOn = 1040;
inline constexpr int AbsPressureLow = 1047;
inline constexpr int AbsPressureLowOn = 1048;
inline constexpr int RelPressureLow = 1049;
inline constexpr int RelPressureLowOn = 1053;
inline constexpr int FeelsLikeLow = 1052;
inline constexpr int FeelsLikeLowOn = 1054;
inline constexpr int DewPointLow = 1026;
inline constexpr int DewPointLowOn = 1029;
inline constexpr int SaveButton = 1005;
inline constexpr int CancelButton = 1007;
}  // namespace alarm_settings

// Calibration Settings: CalibrationDialog.ui
namespace calibration {
inline constexpr int RelPressure = 1014;
inline constexpr int AbsPressure = 1015;
inline constexpr int WindDirection = 1016;
inline constexpr int IndoorTemp = 1017;
inline constexpr int OutdoorTemp = 1024;
inline constexpr int IndoorHumidity = 1018;
inline constexpr int OutdoorHumidity = 1023;
inline constexpr int SaveButton = 1005;
inline constexpr int CancelButton = 1006;
}  // namespace calibration

// Rainfall Totals: RainTotalsDialog.ui
namespace rain_totals {
inline constexpr int Today = 1014;
inline constexpr int TodayUnit = 1096;
inline constexpr int Week = 1015;
inline constexpr int WeekUnit = 1098;
inline constexpr int Month = 1016;
inline constexpr int MonthUnit = 1100;
inline constexpr int Year = 1017;
inline constexpr int YearUnit = 1102;
inline constexpr int SaveButton = 1005;
inline constexpr int CancelButton = 1006;
}  // namespace rain_totals

// Max/Min: MaxMinDialog.ui
namespace max_min {
inline constexpr int IndoorTempMax = 1014;
inline constexpr int IndoorTempMin = 1015;
inline constexpr int IndoorTempBox = 1013;
inline constexpr int OutdoorTempMax = 1016;
inline constexpr int OutdoorTempMin = 1017;
inline constexpr int OutdoorTempBox = 1024;
inline constexpr int IndoorHumidityMax = 1018;
inline constexpr int IndoorHumidityMin = 1019;
inline constexpr int IndoorHumidityBox = 1039;
inline constexpr int OutdoorHumidityMax = 1020;
inline constexpr int OutdoorHumidityMin = 1021;
inline constexpr int OutdoorHumidityBox = 1040;
inline constexpr int RelPressureMax = 1036;
inline constexpr int RelPressureMin = 1038;
inline constexpr int RelPressureBox = 1041;
inline constexpr int AbsPressureMax = 1026;
inline constexpr int AbsPressureMin = 1027;
inline constexpr int AbsPressureBox = 1042;
inline constexpr int DewPointMax = 1022;
inline constexpr int DewPointMin = 1023;
inline constexpr int DewPointBox = 1043;
inline constexpr int FeelsLikeMax = 1028;
inline constexpr int FeelsLikeBox = 1044;
inline constexpr int SolarRadiationMax = 1035;
inline constexpr int SolarRadiationBox = 1045;
inline constexpr int UvIndexMax = 1037;
inline constexpr int UvIndexBox = 1046;
inline constexpr int WindSpeedMax = 1030;
inline constexpr int WindSpeedBox = 1047;
inline constexpr int GustSpeedMax = 1034;
inline constexpr int GustSpeedBox = 1048;
inline constexpr int ClearButton = 1005;
inline constexpr int ClearAllButton = 1007;
inline constexpr int CancelButton = 1006;
}  // namespace max_min

// Mobile Network: MobileNetworkDialog.ui
namespace mobile_network {
inline constexpr int Apn = 1014;
inline constexpr int User = 1015;
inline constexpr int Password = 1016;
inline constexpr int ShowPassword = 1013;
inline constexpr int Tel1 = 1017;
inline constexpr int Tel2 = 1018;
inline constexpr int Tel3 = 1019;
inline constexpr int AlarmInterval = 1020;
inline constexpr int CurrentInterval = 1021;
inline constexpr int CurrentIntervalUnit = 1008;
inline constexpr int TestMessage = 1022;
inline constexpr int MsgTestButton = 1037;
inline constexpr int SaveButton = 1005;
inline constexpr int CancelButton = 1006;
}  // namespace mobile_network

// Web Server: WebUploadDialog.ui
namespace web_upload {
inline constexpr int Web = 1006;
inline constexpr int Id = 1014;
inline constexpr int Password = 1015;
inline constexpr int ShowPassword = 1013;
inline constexpr int ServerType = 1007;
inline constexpr int UploadType = 1008;
inline constexpr int Port = 1016;
inline constexpr int Interval = 1017;
inline constexpr int IntervalUnit = 1009;
inline constexpr int SaveButton = 1005;
inline constexpr int CancelButton = 1037;
}  // namespace web_upload

// SD Card Recordings (SDCard File): RecordingsDialog.ui
namespace recordings {
inline constexpr int ChosenName = 1039;
inline constexpr int ChosenSize = 1085;
inline constexpr int ExportButton = 1005;
inline constexpr int DeleteButton = 1007;
inline constexpr int GraphButton = 1006;
inline constexpr int FolderButton = 1008;
inline constexpr int Progress = 1004;
inline constexpr int FileList = 1002;
inline constexpr int ContentList = 1003;
}  // namespace recordings

// Graph: GraphDialog.ui
namespace graph {
inline constexpr int StartDate = 1040;
inline constexpr int StartTime = 1041;
inline constexpr int Quantity = 1006;
inline constexpr int SelectButton = 1005;
inline constexpr int CancelButton = 1037;
inline constexpr int EndDate = 1042;
inline constexpr int EndTime = 1043;
inline constexpr int Chart = 1007;
}  // namespace graph

// Update Firmware: FirmwareUpdateDialog.ui
namespace firmware_update {
inline constexpr int UpdateFile = 1014;
inline constexpr int Status = 1097;
inline constexpr int Progress = 1004;
inline constexpr int UpdateButton = 1006;
inline constexpr int CancelButton = 1037;
}  // namespace firmware_update

}  // namespace control_id

}  // namespace vorelle

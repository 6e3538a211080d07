// Texts of the I/O area shown to the operator, UTF-8, copied as the module's
// tool has always shown them.
#pragma once

#include "text_catalogue.h"

namespace qx::io_texts {

// One box per faulty channel of a scaling file; "%u" is the channel 1..8.
inline constexpr Text kAiUnitWrong = "模拟量AI通道%u量纲不正确！";
inline constexpr Text kAoUnitWrong = "模拟量AO通道%u量纲不正确！";
inline constexpr Text kAiRatioWrong = "模拟量AI通道%u量纲系数不正确！";
inline constexpr Text kAoRatioWrong = "模拟量AO通道%u量纲系数不正确！";
inline constexpr Text kNoUnit = "无";
// The scaling file's units 5..11, as the AI/AO table shows them.
inline constexpr Text kScalingUnitNames[] = {"v伏特", "ma毫安", "mpa兆帕", "deg度", "rh湿", "g克", "n牛"};
// Not shown by the page, which stays silent; the command line names the key.
inline constexpr Text kScalingKeyMissing = "量纲文件缺少[%s]下的%s,量纲未加载!";

// Shared by the three I/O pages.
inline constexpr Text kLabelSubStation = "子机号：";
inline constexpr Text kSubStationNone = "无";
inline constexpr Text kSubStationFormat = "子机%d";
inline constexpr Text kSubStationNote =
    "提示: 子机号选择仅对RUR的网关汇总模式有效,透传模式下请通过主界面Modbus地址指定。";

// DI/DO page
inline constexpr Text kBoxInputs = "DI输入";
inline constexpr Text kBoxOutputs = "DO输出";
inline constexpr const char *kInputFormat = "X%d";
inline constexpr const char *kOutputOffFormat = "Y%d/OFF";
inline constexpr const char *kOutputOnFormat = "Y%d/ON";
inline constexpr Text kButtonPollInputs = "轮读DI";
inline constexpr Text kButtonStopPolling = "停止轮读";
inline constexpr Text kButtonAllOn = "全开";
inline constexpr Text kButtonAllOff = "全关";
inline constexpr Text kButtonPollOutputs = "轮读DO";
inline constexpr Text kBoxOnline = "子站在线状态(该功能仅适用于RUR网关汇总模式)";
inline constexpr Text kButtonPollOnline = "轮读子站在线/掉线";

// AI/AO page
inline constexpr Text kButtonLoadScaling = "加载量纲文件";
inline constexpr Text kScalingNote = "提示:量纲文件可在QX-TOOLS的执行目录下找到并修改。";
inline constexpr Text kScalingFilter = "配置文件(*.txt)|*.txt|所有文件(*.*)|*.*||";
inline constexpr const char *kScalingSuffix = "txt";
inline constexpr Text kBoxAi1 = "AI模拟量采集模块1";
inline constexpr Text kBoxAi2 = "AI模拟量采集模块2";
inline constexpr Text kAiHeading =
    "(AD原始读数     —       噪音)   x   量纲系数       =       量纲读数   (   量纲  )";
inline constexpr Text kBoxAo1 = "AO模拟量输出模块1";
inline constexpr Text kBoxAo2 = "AO模拟量输出模块2";
inline constexpr Text kAoHeading =
    "(DA原始值        —       噪音)   x   量纲系数       =       量纲读数   (   量纲  )";
// Accessible names of a row's columns: "AI3 噪音" and so on; an AO row's
// first column is its output value.
inline constexpr Text kColumnNames[] = {"AD原始读数", "噪音", "量纲系数", "量纲读数", "量纲"};
inline constexpr Text kAoRawName = "DA原始值";
inline constexpr const char *kAoRange = "[0~65535]";
inline constexpr const char *kAiFormat = "AI%d:";
inline constexpr const char *kAoFormat = "AO%d:";
inline constexpr Text kAoWriteFormat = "通道%d输出";
inline constexpr Text kButtonPollAi = "轮读AI";
inline constexpr Text kButtonStopAi = "停止轮读AI";
inline constexpr Text kButtonPollAo = "轮读AO";
inline constexpr Text kButtonStopAo = "停止轮读AO";
inline constexpr Text kButtonAiDenoise = "AI空载去噪";
inline constexpr Text kButtonAiCalibrate = "AI满量程标定";
inline constexpr Text kButtonAoCalibrate = "AO满量程标定";
inline constexpr Text kCalibrationNote = "提示:去噪及标定功能仅供工厂出厂校准时使用。";
// The page's own: an AO value that is no 16-bit number is not written.
inline constexpr Text kAoValueWrong = "AO%d的输出值无效,请输入0~65535之间的整数！";

// The AI trend beside the table (the page's own texts).
inline constexpr Text kTrendSwitch = "显示AI趋势(最近10分钟)";
inline constexpr Text kTrendTimeAxis = "时间(秒)";
inline constexpr Text kTrendRawAxis = "AD原始读数";
inline constexpr Text kTrendScaledAxis = "量纲读数";
inline constexpr const char *kTrendSeriesFormat = "AI%d";

// PWM/counter page
inline constexpr const char *kBoxPwmFormat = "PWM-Y%d";
inline constexpr Text kLabelTimeUnit = "时间单位(us/ms/s):";
inline constexpr Text kUnitMicroseconds = "us微秒";
inline constexpr Text kUnitMilliseconds = "ms毫秒";
inline constexpr Text kUnitSeconds = "s秒";
inline constexpr Text kLabelHighTime = "单周期高电平时间(us/ms/s):";
inline constexpr Text kLabelLowTime = "单周期低电平时间(us/ms/s):";
inline constexpr Text kLabelFrequency = "PWM频率(HZ):";
inline constexpr Text kLabelDuty = "占空比(%):";
inline constexpr const char *kDefaultPwmTime = "50000";
inline constexpr const char *kDefaultFrequency = "10";
inline constexpr const char *kDefaultDuty = "50";
inline constexpr Text kButtonPwmSet = "设置";
inline constexpr Text kPwmStartFormat = "Y%d输出PWM";
inline constexpr Text kPwmStopFormat = "Y%d输出停止";
inline constexpr Text kPwmNote0 = "提示:";
inline constexpr Text kPwmNote1 = "1.单周期时间=1高电平时间+1低电平时间";
inline constexpr Text kPwmNote2 = "2.频率hz=1000000us/单周期时间us";
inline constexpr Text kPwmNote3 = "3.占空比=高电平时间/单周期时间 x 100%";
inline constexpr Text kBoxCounters = "X脉冲输入计数";
inline constexpr Text kCounterFormat = "X%d计数:";
inline constexpr Text kButtonPollX1to4 = "轮读X1-4";
inline constexpr Text kButtonPollX5to12 = "轮读X5-12";
inline constexpr Text kButtonPollX13to24 = "读X13~24";
inline constexpr Text kButtonPollAllCounters = "全部轮读";
inline constexpr Text kButtonClearCounters = "全部清空";
inline constexpr Text kCounterNote =
    "提示:1.全部轮读时数据量较大,用时较长,请酌情使用  2.RUR网关只能读取子站X1-X12计数。";
// A zero period has no frequency or duty; shown instead of "inf"/"nan".
inline constexpr const char *kNoFigure = "--";
// The page's own: a time that is no 16-bit number is not written; the
// first %s is the output's box, the second the field's caption.
inline constexpr Text kPwmTimeWrong = "%s的%s无效,请输入0~65535之间的整数！";

} // namespace qx::io_texts

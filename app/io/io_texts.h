// Texts of the I/O area shown to the operator, UTF-8, copied as the module's
// tool has always shown them.
#pragma once

namespace qx::io_texts {

// One box per faulty channel of a scaling file; "%u" is the channel 1..8.
inline constexpr const char *kAiUnitWrong = "模拟量AI通道%u量纲不正确！";
inline constexpr const char *kAoUnitWrong = "模拟量AO通道%u量纲不正确！";
inline constexpr const char *kAiRatioWrong = "模拟量AI通道%u量纲系数不正确！";
inline constexpr const char *kAoRatioWrong = "模拟量AO通道%u量纲系数不正确！";
inline constexpr const char *kNoUnit = "无";
// Not shown by the page, which stays silent; the command line names the key.
inline constexpr const char *kScalingKeyMissing = "量纲文件缺少[%s]下的%s,量纲未加载!";

// Shared by the three I/O pages.
inline constexpr const char *kLabelSubStation = "子机号：";
inline constexpr const char *kSubStationNone = "无";
inline constexpr const char *kSubStationFormat = "子机%d";
inline constexpr const char *kSubStationNote =
    "提示: 子机号选择仅对RUR的网关汇总模式有效,透传模式下请通过主界面Modbus地址指定。";

// DI/DO page
inline constexpr const char *kBoxInputs = "DI输入";
inline constexpr const char *kBoxOutputs = "DO输出";
inline constexpr const char *kInputFormat = "X%d";
inline constexpr const char *kOutputOffFormat = "Y%d/OFF";
inline constexpr const char *kOutputOnFormat = "Y%d/ON";
inline constexpr const char *kButtonPollInputs = "轮读DI";
inline constexpr const char *kButtonStopPolling = "停止轮读";
inline constexpr const char *kButtonAllOn = "全开";
inline constexpr const char *kButtonAllOff = "全关";
inline constexpr const char *kButtonPollOutputs = "轮读DO";
inline constexpr const char *kBoxOnline = "子站在线状态(该功能仅适用于RUR网关汇总模式)";
inline constexpr const char *kButtonPollOnline = "轮读子站在线/掉线";

// AI/AO page
inline constexpr const char *kButtonLoadScaling = "加载量纲文件";
inline constexpr const char *kScalingNote = "提示:量纲文件可在QX-TOOLS的执行目录下找到并修改。";
inline constexpr const char *kScalingFilter = "配置文件(*.txt)|*.txt|所有文件(*.*)|*.*||";
inline constexpr const char *kScalingSuffix = "txt";
inline constexpr const char *kBoxAi1 = "AI模拟量采集模块1";
inline constexpr const char *kBoxAi2 = "AI模拟量采集模块2";
inline constexpr const char *kAiHeading =
    "(AD原始读数     —       噪音)   x   量纲系数       =       量纲读数   (   量纲  )";
inline constexpr const char *kBoxAo1 = "AO模拟量输出模块1";
inline constexpr const char *kBoxAo2 = "AO模拟量输出模块2";
inline constexpr const char *kAoHeading =
    "(DA原始值        —       噪音)   x   量纲系数       =       量纲读数   (   量纲  )";
inline constexpr const char *kAoRange = "[0~65535]";
inline constexpr const char *kAiFormat = "AI%d:";
inline constexpr const char *kAoFormat = "AO%d:";
inline constexpr const char *kAoWriteFormat = "通道%d输出";
inline constexpr const char *kButtonPollAi = "轮读AI";
inline constexpr const char *kButtonStopAi = "停止轮读AI";
inline constexpr const char *kButtonPollAo = "轮读AO";
inline constexpr const char *kButtonStopAo = "停止轮读AO";
inline constexpr const char *kButtonAiDenoise = "AI空载去噪";
inline constexpr const char *kButtonAiCalibrate = "AI满量程标定";
inline constexpr const char *kButtonAoCalibrate = "AO满量程标定";
inline constexpr const char *kCalibrationNote = "提示:去噪及标定功能仅供工厂出厂校准时使用。";
// The page's own: an AO value that is no 16-bit number is not written.
inline constexpr const char *kAoValueWrong = "AO%d的输出值无效,请输入0~65535之间的整数！";

// The AI trend beside the table (the page's own texts).
inline constexpr const char *kTrendSwitch = "显示AI趋势(最近10分钟)";
inline constexpr const char *kTrendTimeAxis = "时间(秒)";
inline constexpr const char *kTrendRawAxis = "AD原始读数";
inline constexpr const char *kTrendScaledAxis = "量纲读数";
inline constexpr const char *kTrendSeriesFormat = "AI%d";

// PWM/counter page
inline constexpr const char *kBoxPwmFormat = "PWM-Y%d";
inline constexpr const char *kLabelTimeUnit = "时间单位(us/ms/s):";
inline constexpr const char *kUnitMicroseconds = "us微秒";
inline constexpr const char *kUnitMilliseconds = "ms毫秒";
inline constexpr const char *kUnitSeconds = "s秒";
inline constexpr const char *kLabelHighTime = "单周期高电平时间(us/ms/s):";
inline constexpr const char *kLabelLowTime = "单周期低电平时间(us/ms/s):";
inline constexpr const char *kLabelFrequency = "PWM频率(HZ):";
inline constexpr const char *kLabelDuty = "占空比(%):";
inline constexpr const char *kDefaultPwmTime = "50000";
inline constexpr const char *kDefaultFrequency = "10";
inline constexpr const char *kDefaultDuty = "50";
inline constexpr const char *kButtonPwmSet = "设置";
inline constexpr const char *kPwmStartFormat = "Y%d输出PWM";
inline constexpr const char *kPwmStopFormat = "Y%d输出停止";
inline constexpr const char *kPwmNote0 = "提示:";
inline constexpr const char *kPwmNote1 = "1.单周期时间=1高电平时间+1低电平时间";
inline constexpr const char *kPwmNote2 = "2.频率hz=1000000us/单周期时间us";
inline constexpr const char *kPwmNote3 = "3.占空比=高电平时间/单周期时间 x 100%";
inline constexpr const char *kBoxCounters = "X脉冲输入计数";
inline constexpr const char *kCounterFormat = "X%d计数:";
inline constexpr const char *kButtonPollX1to4 = "轮读X1-4";
inline constexpr const char *kButtonPollX5to12 = "轮读X5-12";
inline constexpr const char *kButtonPollX13to24 = "读X13~24";
inline constexpr const char *kButtonPollAllCounters = "全部轮读";
inline constexpr const char *kButtonClearCounters = "全部清空";
inline constexpr const char *kCounterNote =
    "提示:1.全部轮读时数据量较大,用时较长,请酌情使用  2.RUR网关只能读取子站X1-X12计数。";
// A zero period has no frequency or duty; shown instead of "inf"/"nan".
inline constexpr const char *kNoFigure = "--";
// The page's own: a time that is no 16-bit number is not written; the
// first %s is the output's box, the second the field's caption.
inline constexpr const char *kPwmTimeWrong = "%s的%s无效,请输入0~65535之间的整数！";

} // namespace qx::io_texts

// Every text the PLC area shows to the operator, in one place, so that pages,
// the command line and the tests compare with the same constants. UTF-8 here;
// "\r\n" is the report box's line end. Formats take the block number first,
// then the row index (both 0-based).
#pragma once

#include "text_catalogue.h"

namespace qx::plc_texts {

inline constexpr Text kNoProject = "请先新建或加载一个工程(*.qprj)/源码(*.txt)!";
inline constexpr Text kFixSyntaxFirst = "请先修正程序块中的语法错误!";

// --- source loader: syntax errors -------------------------------------------
inline constexpr Text kErrNoCondTag =
    "错误:\r\n程序块<program%d>找不到条件块关键字<cond>";
inline constexpr Text kErrNoActTag =
    "错误:\r\n程序块<program%d>找不到动作块关键字<act>";
inline constexpr Text kErrNoCondRow =
    "错误:\r\n程序块<program%d>时遇到语法错误,该程序块下<cond>未找到任何条件组合";
inline constexpr Text kErrNothingAfterCond =
    "错误:\r\n程序块<program%d>时遇到语法错误,该程序块下<act>未找到任何动作组合";
inline constexpr Text kErrCondBraces =
    "错误:\r\n程序块<program%d>条件块%d,解析条件组合块时遇到语法错误,缺少\"{\"或\"}\"!";
inline constexpr Text kErrCondLineEnd =
    "错误:\r\n程序块<program%d>条件块%d,解析条件组合块时遇到语法错误,行尾缺少回车换行!";
inline constexpr Text kErrCondSource =
    "错误:\r\n程序块<program%d>条件块%d,解析条件来源时遇到语法错误,未设置或错误设置触发条件来源!";
inline constexpr Text kErrCondUnit =
    "错误:\r\n程序块<program%d>条件块%d,解析条件单位类型时遇到语法错误,未设置或错误设置条件源的单位类型!";
inline constexpr Text kErrCondOperator =
    "错误:\r\n程序块<program%d>条件块%d,解析条件运算符时遇到语法错误,未设置或错误设置条件运算符!";
inline constexpr Text kErrCondValueABraces =
    "错误:\r\n程序块<program%d>条件块%d,解析条件值a时遇到语法错误,缺少\"{\"或\"}\"!";
inline constexpr Text kErrCondValueAEmpty =
    "错误:\r\n程序块<program%d>条件块%d,解析条件值a时遇到语法错误,a值不能为空";
inline constexpr Text kErrCondValueBBraces =
    "错误:\r\n程序块<program%d>条件块%d,解析条件值b时遇到语法错误,缺少\"{\"或\"}\"!";
inline constexpr Text kErrCondValueBEmpty =
    "错误:\r\n程序块<program%d>条件块%d,解析条件值b时遇到语法错误,b值不能为空";
inline constexpr Text kErrNoActRow =
    "错误:\r\n程序块<program%d>动作块%d,解析动作组合块时遇到语法错误,至少要设置一条动作组合!";
inline constexpr Text kErrActBraces =
    "错误:\r\n程序块<program%d>动作块%d,解析动作组合块时遇到语法错误,缺少\"{\"或\"}\"!";
inline constexpr Text kErrActLineEnd =
    "错误:\r\n程序块<program%d>动作块%d,解析动作组合块时遇到语法错误,行尾缺少回车换行!";
inline constexpr Text kErrActObject =
    "错误:\r\n程序块<program%d>动作块%d,解析动作对象时遇到语法错误,未设置或错误设置动作操作对象!";
inline constexpr Text kErrActUnit =
    "错误:\r\n程序块<program%d>动作块%d,解析动作单位类型时遇到语法错误,未设置或错误设置动作对象的单位类型!";
inline constexpr Text kErrActOperator =
    "错误:\r\n程序块<program%d>动作块%d,解析动作运算符时遇到语法错误,未设置或错误设置动作运算符!";
inline constexpr Text kErrActValueABraces =
    "错误:\r\n程序块<program%d>动作块%d,解析动作值a时遇到语法错误,缺少\"{\"或\"}\"!";
inline constexpr Text kErrActValueAEmpty =
    "错误:\r\n程序块<program%d>动作块%d,解析动作值a时遇到语法错误,a值不能为空";
inline constexpr Text kErrActValueBBraces =
    "错误:\r\n程序块<program%d>动作块%d,解析动作值b时遇到语法错误,缺少\"{\"或\"}\"!";
inline constexpr Text kErrActValueBEmpty =
    "错误:\r\n程序块<program%d>动作块%d,解析动作值b时遇到语法错误,b值不能为空";
// A value group is copied into a 16-byte field; longer text is refused
// instead of being cut or overrunning it.
inline constexpr Text kErrCondValueATooLong =
    "错误:\r\n程序块<program%d>条件块%d,解析条件值a时遇到语法错误,a值不能超过15个字符";
inline constexpr Text kErrCondValueBTooLong =
    "错误:\r\n程序块<program%d>条件块%d,解析条件值b时遇到语法错误,b值不能超过15个字符";
inline constexpr Text kErrActValueATooLong =
    "错误:\r\n程序块<program%d>动作块%d,解析动作值a时遇到语法错误,a值不能超过15个字符";
inline constexpr Text kErrActValueBTooLong =
    "错误:\r\n程序块<program%d>动作块%d,解析动作值b时遇到语法错误,b值不能超过15个字符";
// The loader reads at most this much; a larger file is refused rather than cut.
inline constexpr Text kErrSourceTooLarge =
    "错误:\r\n源码文件过大(%llu字节),源码文件必须小于1048576字节!";


// --- report box around a source load ----------------------------------------
inline constexpr Text kReportLoadingSource = "\r\n----------正在加载源码文件----------\r\n";
inline constexpr Text kReportSourceFailed = "\r\n----------源码加载失败----------\r\n";
inline constexpr Text kReportYouNeedTo = "\r\n您接下来需要做:\r\n";
inline constexpr Text kReportFixSource =
    "\r\n1.源码存在语法错误,请按提示修改源码并保存,然后点击\"刷新并编译\"按钮重新加载!\r\n";
inline constexpr Text kReportReloadAny =
    "\r\n2.您也可以重新加载其他工程或源码文件,点击\"载入工程或源码\"按钮重新选择即可!\r\n";
inline constexpr Text kReportReloadSource =
    "\r\n2.您也可以重新加载其他源码文件,点击\"载入源码\"按钮重新选择其他源码文件即可!\r\n";
inline constexpr const char *kReportRule = "\r\n----------------------------\r\n";

// --- report box around a project compile ------------------------------------
inline constexpr Text kReportCompilingProject = "\r\n----------正在编译工程文件----------\r\n";
inline constexpr Text kReportCompileOk = "\r\n----------编译成功----------\r\n";
inline constexpr Text kReportYouCanNow = "\r\n您接下来可以:\r\n";
inline constexpr Text kReportSaveHint = "\r\n1.保存工程到您的电脑上.\r\n";
inline constexpr Text kReportDownloadHint = "\r\n2.下载工程到模块的RAM或者FLASH中运行.\r\n";
inline constexpr Text kReportRamFlashNote =
    "\r\n注意:RAM是无限次读写的(掉电不保存),FLASH仅可编程5000次左右(掉电保存),"
    "建议您的程序在RAM中调试成功后,再下载到FLASH中执行！\r\n";
inline constexpr Text kReportCompileFailed = "\r\n----------编译失败----------\r\n";
inline constexpr Text kReportFixProject =
    "\r\n1.可能存在参数选择错误,请按编译提示修改工程,然后再次点击\"刷新并编译\"按钮重新编译!\r\n";

// --- report box around a source compile (after a load or "刷新并编译") -------
inline constexpr Text kReportCompilingSource = "\r\n----------正在编译源码文件----------\r\n";
inline constexpr Text kReportSaveSourceHint = "\r\n1.生成工程文件并保存到您的电脑上.\r\n";
inline constexpr Text kReportDownloadSourceHint =
    "\r\n2.您也可以将生成的工程文件下载到模块的RAM或者FLASH中运行.\r\n";
inline constexpr Text kReportFixSourceParameters =
    "\r\n1.源码语法正确,但可能存在参数选择错误,请按编译提示修改源码并保存,"
    "然后点击\"刷新并编译\"按钮重新编译!\r\n";

// --- check ------------------------------------------------------------------
inline constexpr Text kCheckBlockHeader =
    "\r\nprogram%u控制块正在编译----------------------------------------------------\r\n";
inline constexpr Text kCheckCondRow = "  [条件%u]:  ";
inline constexpr Text kCheckActRow = "  [动作%u]:  ";
inline constexpr Text kCheckPassed = "编译通过!";

// condition rules
inline constexpr Text kCondDigitalOperator = "错误1:运算符必须为 [=]或[->]!  ";
inline constexpr Text kCondDigitalValueA = "错误2:条件值a为开关量输入,必须为 [0]或[1]!  ";
inline constexpr Text kCondDigitalValueB = "错误3:条件值b为开关量输入,必须为 [0]或[1]!  ";
inline constexpr Text kCondDigitalUnit = "错误4:值类型必须为 [dio]!  ";
inline constexpr Text kCondCounterOperator = "错误1:运算符不能为 [空] 或 [->]!  ";
inline constexpr Text kCondCounterVariable = "错误2:条件值a的变量号必须介于1(含)-256(含)之间!  ";
inline constexpr Text kCondCounterUnit = "错误3:值类型必须为 [cnt] 或 [var]!  ";
inline constexpr Text kCondAnalogOperator = "错误1:运算符不能为 [空]或[->]!  ";
inline constexpr Text kAnalogUnit =
    "错误2:值类型必须为 [raw]/[mv]/[ma]/[mpa]/[deg]/[rh]/[rat]/[var]!  ";
inline constexpr Text kCondAnalogVariable = "错误3:条件值a的变量号必须介于1(含)-256(含)之间!  ";
inline constexpr Text kCondAnalogNoScaling =
    "错误4:编程涉及模拟量输入操作,请先到AI/AO页面加载量纲文件！";
inline constexpr Text kCondAnalogUnitMismatch = "错误5:模拟量量纲选择与所加载量纲文件不一致！";
inline constexpr Text kCondTimerOperator = "错误1:运算符必须为 [=]!  ";
inline constexpr Text kCondTimerValueA = "错误2:条件值a必须为大于0的整数!  ";
inline constexpr Text kCondTimerUnit = "错误3:值类型必须为 [ms]!  ";
inline constexpr Text kCondTimerConflict = "错误4:与【控制块%u,条件%u】定时器冲突!";

// action rules
inline constexpr Text kActDigitalOperator = "错误1:运算符必须为 [=]或者[po]! ";
inline constexpr Text kActDigitalValueA = "错误2:值a为开关量,必须为 [0]或[1]!  ";
inline constexpr Text kActDigitalUnit = "错误3:值类型必须为 [dio]!  ";
inline constexpr Text kActPulseFrequency = "错误2:值a为PWM频率(hz),必须小于1000000";
inline constexpr Text kActPulseDuty = "错误3:值b为PWM占空比(%),必须介于0.000~100.000之间!";
inline constexpr Text kActPulseUnit = "错误4:值类型必须为 [频/占]!  ";
inline constexpr Text kActArithmeticOperator = "错误1:运算符必须为 [=]/[+]/[-]!  ";
inline constexpr Text kActCounterUnit = "错误3:值类型必须为 [cnt]!  ";
inline constexpr Text kActAnalogNoScaling = "错误3:编程涉及模拟量操作,请先到AI/AO页面加载量纲文件！";
inline constexpr Text kActAnalogUnitMismatch = "错误4:模拟量量纲选择与所加载量纲文件不一致！";
inline constexpr Text kActAnalogVariable = "错误5:值a的变量号必须介于1(含)-256(含)之间!  ";
inline constexpr Text kActTimerUnit = "错误2:值类型必须为 [ms]!  ";
inline constexpr Text kActDelayOperator = "错误1:运算符必须为 [=]!  ";
inline constexpr Text kActDelayUnit = "错误2:值类型必须为 [ms]或者[var]!  ";
inline constexpr Text kActDelayVariable = "错误3:值a的变量号必须介于1(含)-256(含)之间!  ";
inline constexpr Text kActGroupOperator = "错误1:运算符必须为 [str]/[strclr]/[rep]!  ";
inline constexpr Text kActGroupUnit = "错误2:值类型必须为 [none]!  ";

// --- operand catalogues: the grid's lists and the preview's words ------------
inline constexpr Text kCatalogueEmpty = "空";
inline constexpr Text kCatalogueReserved = "预留";
// numbered operands: prefix and number, then the kind ("x1输入")
inline constexpr Text kCatalogueInput = "%s%d输入";
inline constexpr Text kCatalogueCounter = "%s%d计数";
inline constexpr Text kCatalogueExtTimer = "%s%d外触发定时器";
inline constexpr Text kCatalogueSelfTimer = "%s%d自触发定时器";
inline constexpr Text kCatalogueOutput = "%s%d输出";
inline constexpr Text kCatalogueDelay = "dly1延时";
inline constexpr Text kCatalogueUnits[] = {
    "空", "dio开关量", "cnt计数值", "ms毫秒", "raw原始值", "v伏特", "ma毫安",
    "mpa兆帕", "deg度", "rh湿", "g克", "n牛", "rat百分比", "var变量",
};
inline constexpr Text kCatalogueConditionOperators[] = {
    "空", "=等于", "!=不等于", ">大于", "≥大于等于", "<小于", "≤小于等于",
    "->从到", "()介于", "[]包含于", "(]右包含于", "[)左包含于",
};
inline constexpr Text kCatalogueActionOperators[] = {
    "空", "=等于", "+加", "-减", "str存储", "strclr清存储", "rep上报", "po脉冲输出",
};

// --- preview ------------------------------------------------------------------
inline constexpr Text kPreviewBlockHeader =
    "\r\n<program%u>控制块预览-------------------------------------------------------\r\n";
inline constexpr const char *kPreviewCondArea = "\r\n<cond>\r\n";
inline constexpr const char *kPreviewActArea = "\r\n<act>\r\n";
inline constexpr Text kPreviewIf = "如果 ";
inline constexpr Text kPreviewDo = "执行 ";
// condition operators 7..11 with values a and b, and a row without operator
inline constexpr Text kPreviewFromTo = " 由 %s 到 %s";
inline constexpr Text kPreviewBetweenOpen = " 介于 %s 和 %s 之间(不含) ";
inline constexpr Text kPreviewBetweenClosed = " 介于 %s 和 %s 之间(含) ";
inline constexpr Text kPreviewBetweenRightClosed = " 介于 %s 和 %s 之间(右含) ";
inline constexpr Text kPreviewBetweenLeftClosed = " 介于 %s 和 %s 之间(左含) ";
inline constexpr Text kPreviewNoOperator = " 运算符空  ";
// action operations 0..7
inline constexpr Text kPreviewOperations[] = {" 操作符空 ", " 赋值为 ", " 递增 ", " 递减 ",
                                              " 进行存储 ", " 进行清存储 ", " 主动上报 ", " 脉冲 "};
// a timer's time, a delay in ms or in a variable, a pulse's frequency and duty
inline constexpr Text kPreviewTiming = " 定时 %ums";
inline constexpr Text kPreviewDelay = "ms延时";
inline constexpr Text kPreviewDelayVar = "var变量ms延时";
inline constexpr Text kPreviewPulse = "频率%u HZ 占空比%s ";

// --- project file -------------------------------------------------------------
inline constexpr Text kPasswordHint = "注意:密码必须为数字或字母,不超过16个字符";
inline constexpr Text kPasswordEmpty = "密码不能为空!";
inline constexpr Text kPasswordTooLong = "密码不能超过16个字符!";
inline constexpr Text kPasswordsDiffer = "两次密码不一致!";
inline constexpr Text kPasswordWrong = "密码错误!";
inline constexpr Text kSaveOk = "保存成功!";
inline constexpr const char *kNotCorrectFile = "Not correct file(%u)!\n";

// --- download -----------------------------------------------------------------
inline constexpr Text kLogSending = "升级EPLC:正在传送,Block %u,Byte %u\r\n";
inline constexpr Text kLogAckTimeout = "升级EPLC:传送超时,准备重新传送\r\n";
inline constexpr Text kLogCancelled = "EPLC下载已被取消!\r\n";
// a packet the module refused (kEventPlcPacket), with its error code
inline constexpr Text kLogRefused = "升级EPLC: 传送失败,准备重新传送,错误码%u.\r\n";
inline constexpr Text kTransferOk = "QXP工程文件传输成功!";
inline constexpr Text kTransferFailed = "QXP工程文件传输失败!";
inline constexpr Text kTransferCancelled = "已取消EPLC下载!";
inline constexpr Text kNeedEmptyProject = "请先新建或加载一个空白工程!";

// --- programming page -----------------------------------------------------------
inline constexpr Text kNeedBlock = "请先选择控制块！";
inline constexpr Text kReportNewProject =
    "\r\n提示：新建工程完成!\r\n你可以点击选择右侧的编程块开始你的编程啦!\r\n编程完成后记得保存工程哦^_^\r\n";
// A value field that does not hold a number (block, row kind and row, field,
// the text as typed).
inline constexpr Text kValueNotInteger = "控制块%d [%s%d] %s: \"%s\" 不是有效的整数,请重新输入!";
inline constexpr Text kValueNotNumber = "控制块%d [%s%d] %s: \"%s\" 不是有效的数值,请重新输入!";
inline constexpr Text kRowCondition = "条件";
inline constexpr Text kRowAction = "动作";
inline constexpr Text kFieldCondA = "条件值a";
inline constexpr Text kFieldCondB = "条件值b";
inline constexpr Text kFieldActA = "输出值a";
inline constexpr Text kFieldActB = "输出值b";

// page controls
inline constexpr Text kButtonLoad = "载入工程或源码";
inline constexpr Text kButtonNew = "新建工程";
inline constexpr Text kButtonRefresh = "刷新并编译";
inline constexpr Text kButtonSave = "保存工程";
inline constexpr Text kButtonRamRun = "下载RAM并运行";
inline constexpr Text kButtonFlashRun = "下载FLASH并运行";
inline constexpr Text kButtonFlashRestart = "下载FLASH并重启";
inline constexpr Text kButtonClearFlash = "清空FLASH并重启";
inline constexpr Text kButtonCancelTransfer = "取消升级";
inline constexpr Text kButtonCancelClear = "取消清空";
inline constexpr Text kButtonCommit = "参与运行";
inline constexpr Text kButtonStop = "禁止运行";
inline constexpr Text kButtonClearBlock = "清空该编程块";
inline constexpr Text kButtonUp = "上移";
inline constexpr Text kButtonDown = "下移";
inline constexpr Text kButtonDelete = "删除";
inline constexpr Text kStep1 =
    "STEP1:单击一个编程块开始编程,绿色为参与运行,蓝色为不参与运行,灰色为空闲,控制器会循环扫描运行绿色控制块。";
inline constexpr Text kStep2 =
    "STEP2:对该控制块进行[条件-动作]组合,左侧的条件都满足后,右侧的动作才会按顺序执行,  当前块号:";
inline constexpr Text kStep3 = "STEP3:控制块编写完成后,可以:";
inline constexpr Text kRowHint = "圆点选中 [条件/动作] 所在行，可以：";
inline constexpr Text kHeadCondition = "条件";
inline constexpr Text kHeadSource = "来源";
inline constexpr Text kHeadOperator = "运算符";
inline constexpr Text kHeadCondA = "条件值a";
inline constexpr Text kHeadCondB = "条件值b";
inline constexpr Text kHeadUnit = "值类型";
inline constexpr Text kHeadAction = "动作";
inline constexpr Text kHeadObject = "对象";
inline constexpr Text kHeadOperation = "操作";
inline constexpr Text kHeadActA = "输出值a";
inline constexpr Text kHeadActB = "输出值b";
inline constexpr Text kProjectFilter = "工程文件(*.qprj)|*.qprj|源码文件(*.txt)|*.txt||";
inline constexpr Text kSaveFilter = "工程文件(*.qprj)|*.qprj|所有文件(*.*)|*.*||";
// the report box and the block buttons' states, for the accessibility tree
inline constexpr Text kReportBoxName = "编译报告";
inline constexpr Text kBlockFreeName = "空闲";
inline constexpr Text kBlockRunsName = "参与运行";
inline constexpr Text kBlockStoppedName = "不参与运行";
inline constexpr Text kProgressName = "传输进度";

// dialogs
inline constexpr Text kDialogOk = "确定";
inline constexpr Text kDialogCancel = "取消";
inline constexpr Text kTransTitle = "工程传输";
inline constexpr Text kTransBlockSize = "传输分块大小(BYTE):";
inline constexpr Text kTransNote = "注意:";
inline constexpr Text kTransNote1 = "1.调试程序尽量选择RAM下载!";
inline constexpr Text kTransNote2 = "2.LORA传输请选择64或更小分块!";
inline constexpr Text kPasswordTitle = "请输入工程密码";
inline constexpr Text kPasswordLabel = "密码:";
inline constexpr Text kConfirmLabel = "确认密码:";
inline constexpr Text kNoticeTitle = "提示";
inline constexpr Text kSourceNotice1 = "1.当前选择源码编程模式!";
inline constexpr Text kSourceNotice2 = "2.源码加载后,可点击\"刷新并编译\"自动加载,无需重复打开源码!";
inline constexpr Text kSourceNotice3 = "3.源码可以生成工程文件,但反向不行!";
inline constexpr Text kProjectNotice1 = "1.当前选择可视化编程模式!";
inline constexpr Text kProjectNotice2 =
    "2.可视化编程后只能生成工程文件,工程文件可保存可加载，但无法反向生成源码文件!";
inline constexpr Text kProjectNotice3 = "3.工程文件修改后请及时编译保存!";

} // namespace qx::plc_texts

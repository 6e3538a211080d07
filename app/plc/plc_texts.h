// Every text the PLC area shows to the operator, in one place, so that pages,
// the command line and the tests compare with the same constants. UTF-8 here;
// "\r\n" is the report box's line end. Formats take the block number first,
// then the row index (both 0-based).
#pragma once

namespace qx::plc_texts {

inline constexpr const char *kNoProject = "请先新建或加载一个工程(*.qprj)/源码(*.txt)!";
inline constexpr const char *kFixSyntaxFirst = "请先修正程序块中的语法错误!";

// --- source loader: syntax errors -------------------------------------------
inline constexpr const char *kErrNoCondTag =
    "错误:\r\n程序块<program%d>找不到条件块关键字<cond>";
inline constexpr const char *kErrNoActTag =
    "错误:\r\n程序块<program%d>找不到动作块关键字<act>";
inline constexpr const char *kErrNoCondRow =
    "错误:\r\n程序块<program%d>时遇到语法错误,该程序块下<cond>未找到任何条件组合";
inline constexpr const char *kErrNothingAfterCond =
    "错误:\r\n程序块<program%d>时遇到语法错误,该程序块下<act>未找到任何动作组合";
inline constexpr const char *kErrCondBraces =
    "错误:\r\n程序块<program%d>条件块%d,解析条件组合块时遇到语法错误,缺少\"{\"或\"}\"!";
inline constexpr const char *kErrCondLineEnd =
    "错误:\r\n程序块<program%d>条件块%d,解析条件组合块时遇到语法错误,行尾缺少回车换行!";
inline constexpr const char *kErrCondSource =
    "错误:\r\n程序块<program%d>条件块%d,解析条件来源时遇到语法错误,未设置或错误设置触发条件来源!";
inline constexpr const char *kErrCondUnit =
    "错误:\r\n程序块<program%d>条件块%d,解析条件单位类型时遇到语法错误,未设置或错误设置条件源的单位类型!";
inline constexpr const char *kErrCondOperator =
    "错误:\r\n程序块<program%d>条件块%d,解析条件运算符时遇到语法错误,未设置或错误设置条件运算符!";
inline constexpr const char *kErrCondValueABraces =
    "错误:\r\n程序块<program%d>条件块%d,解析条件值a时遇到语法错误,缺少\"{\"或\"}\"!";
inline constexpr const char *kErrCondValueAEmpty =
    "错误:\r\n程序块<program%d>条件块%d,解析条件值a时遇到语法错误,a值不能为空";
inline constexpr const char *kErrCondValueBBraces =
    "错误:\r\n程序块<program%d>条件块%d,解析条件值b时遇到语法错误,缺少\"{\"或\"}\"!";
inline constexpr const char *kErrCondValueBEmpty =
    "错误:\r\n程序块<program%d>条件块%d,解析条件值b时遇到语法错误,b值不能为空";
inline constexpr const char *kErrNoActRow =
    "错误:\r\n程序块<program%d>动作块%d,解析动作组合块时遇到语法错误,至少要设置一条动作组合!";
inline constexpr const char *kErrActBraces =
    "错误:\r\n程序块<program%d>动作块%d,解析动作组合块时遇到语法错误,缺少\"{\"或\"}\"!";
inline constexpr const char *kErrActLineEnd =
    "错误:\r\n程序块<program%d>动作块%d,解析动作组合块时遇到语法错误,行尾缺少回车换行!";
inline constexpr const char *kErrActObject =
    "错误:\r\n程序块<program%d>动作块%d,解析动作对象时遇到语法错误,未设置或错误设置动作操作对象!";
inline constexpr const char *kErrActUnit =
    "错误:\r\n程序块<program%d>动作块%d,解析动作单位类型时遇到语法错误,未设置或错误设置动作对象的单位类型!";
inline constexpr const char *kErrActOperator =
    "错误:\r\n程序块<program%d>动作块%d,解析动作运算符时遇到语法错误,未设置或错误设置动作运算符!";
inline constexpr const char *kErrActValueABraces =
    "错误:\r\n程序块<program%d>动作块%d,解析动作值a时遇到语法错误,缺少\"{\"或\"}\"!";
inline constexpr const char *kErrActValueAEmpty =
    "错误:\r\n程序块<program%d>动作块%d,解析动作值a时遇到语法错误,a值不能为空";
inline constexpr const char *kErrActValueBBraces =
    "错误:\r\n程序块<program%d>动作块%d,解析动作值b时遇到语法错误,缺少\"{\"或\"}\"!";
inline constexpr const char *kErrActValueBEmpty =
    "错误:\r\n程序块<program%d>动作块%d,解析动作值b时遇到语法错误,b值不能为空";
// A value group is copied into a 16-byte field; longer text is refused
// instead of being cut or overrunning it.
inline constexpr const char *kErrCondValueATooLong =
    "错误:\r\n程序块<program%d>条件块%d,解析条件值a时遇到语法错误,a值不能超过15个字符";
inline constexpr const char *kErrCondValueBTooLong =
    "错误:\r\n程序块<program%d>条件块%d,解析条件值b时遇到语法错误,b值不能超过15个字符";
inline constexpr const char *kErrActValueATooLong =
    "错误:\r\n程序块<program%d>动作块%d,解析动作值a时遇到语法错误,a值不能超过15个字符";
inline constexpr const char *kErrActValueBTooLong =
    "错误:\r\n程序块<program%d>动作块%d,解析动作值b时遇到语法错误,b值不能超过15个字符";
// The loader reads at most this much; a larger file is refused rather than cut.
inline constexpr const char *kErrSourceTooLarge =
    "错误:\r\n源码文件过大(%llu字节),源码文件必须小于1048576字节!";


// --- report box around a source load ----------------------------------------
inline constexpr const char *kReportLoadingSource = "\r\n----------正在加载源码文件----------\r\n";
inline constexpr const char *kReportSourceFailed = "\r\n----------源码加载失败----------\r\n";
inline constexpr const char *kReportYouNeedTo = "\r\n您接下来需要做:\r\n";
inline constexpr const char *kReportFixSource =
    "\r\n1.源码存在语法错误,请按提示修改源码并保存,然后点击\"刷新并编译\"按钮重新加载!\r\n";
inline constexpr const char *kReportReloadAny =
    "\r\n2.您也可以重新加载其他工程或源码文件,点击\"载入工程或源码\"按钮重新选择即可!\r\n";
inline constexpr const char *kReportReloadSource =
    "\r\n2.您也可以重新加载其他源码文件,点击\"载入源码\"按钮重新选择其他源码文件即可!\r\n";
inline constexpr const char *kReportRule = "\r\n----------------------------\r\n";

// --- report box around a project compile ------------------------------------
inline constexpr const char *kReportCompilingProject = "\r\n----------正在编译工程文件----------\r\n";
inline constexpr const char *kReportCompileOk = "\r\n----------编译成功----------\r\n";
inline constexpr const char *kReportYouCanNow = "\r\n您接下来可以:\r\n";
inline constexpr const char *kReportSaveHint = "\r\n1.保存工程到您的电脑上.\r\n";
inline constexpr const char *kReportDownloadHint = "\r\n2.下载工程到模块的RAM或者FLASH中运行.\r\n";
inline constexpr const char *kReportRamFlashNote =
    "\r\n注意:RAM是无限次读写的(掉电不保存),FLASH仅可编程5000次左右(掉电保存),"
    "建议您的程序在RAM中调试成功后,再下载到FLASH中执行！\r\n";
inline constexpr const char *kReportCompileFailed = "\r\n----------编译失败----------\r\n";
inline constexpr const char *kReportFixProject =
    "\r\n1.可能存在参数选择错误,请按编译提示修改工程,然后再次点击\"刷新并编译\"按钮重新编译!\r\n";

// --- report box around a source compile (after a load or "刷新并编译") -------
inline constexpr const char *kReportCompilingSource = "\r\n----------正在编译源码文件----------\r\n";
inline constexpr const char *kReportSaveSourceHint = "\r\n1.生成工程文件并保存到您的电脑上.\r\n";
inline constexpr const char *kReportDownloadSourceHint =
    "\r\n2.您也可以将生成的工程文件下载到模块的RAM或者FLASH中运行.\r\n";
inline constexpr const char *kReportFixSourceParameters =
    "\r\n1.源码语法正确,但可能存在参数选择错误,请按编译提示修改源码并保存,"
    "然后点击\"刷新并编译\"按钮重新编译!\r\n";

// --- check ------------------------------------------------------------------
inline constexpr const char *kCheckBlockHeader =
    "\r\nprogram%u控制块正在编译----------------------------------------------------\r\n";
inline constexpr const char *kCheckCondRow = "  [条件%u]:  ";
inline constexpr const char *kCheckActRow = "  [动作%u]:  ";
inline constexpr const char *kCheckPassed = "编译通过!";

// condition rules
inline constexpr const char *kCondDigitalOperator = "错误1:运算符必须为 [=]或[->]!  ";
inline constexpr const char *kCondDigitalValueA = "错误2:条件值a为开关量输入,必须为 [0]或[1]!  ";
inline constexpr const char *kCondDigitalValueB = "错误3:条件值b为开关量输入,必须为 [0]或[1]!  ";
inline constexpr const char *kCondDigitalUnit = "错误4:值类型必须为 [dio]!  ";
inline constexpr const char *kCondCounterOperator = "错误1:运算符不能为 [空] 或 [->]!  ";
inline constexpr const char *kCondCounterVariable = "错误2:条件值a的变量号必须介于1(含)-256(含)之间!  ";
inline constexpr const char *kCondCounterUnit = "错误3:值类型必须为 [cnt] 或 [var]!  ";
inline constexpr const char *kCondAnalogOperator = "错误1:运算符不能为 [空]或[->]!  ";
inline constexpr const char *kAnalogUnit =
    "错误2:值类型必须为 [raw]/[mv]/[ma]/[mpa]/[deg]/[rh]/[rat]/[var]!  ";
inline constexpr const char *kCondAnalogVariable = "错误3:条件值a的变量号必须介于1(含)-256(含)之间!  ";
inline constexpr const char *kCondAnalogNoScaling =
    "错误4:编程涉及模拟量输入操作,请先到AI/AO页面加载量纲文件！";
inline constexpr const char *kCondAnalogUnitMismatch = "错误5:模拟量量纲选择与所加载量纲文件不一致！";
inline constexpr const char *kCondTimerOperator = "错误1:运算符必须为 [=]!  ";
inline constexpr const char *kCondTimerValueA = "错误2:条件值a必须为大于0的整数!  ";
inline constexpr const char *kCondTimerUnit = "错误3:值类型必须为 [ms]!  ";
inline constexpr const char *kCondTimerConflict = "错误4:与【控制块%u,条件%u】定时器冲突!";

// action rules
inline constexpr const char *kActDigitalOperator = "错误1:运算符必须为 [=]或者[po]! ";
inline constexpr const char *kActDigitalValueA = "错误2:值a为开关量,必须为 [0]或[1]!  ";
inline constexpr const char *kActDigitalUnit = "错误3:值类型必须为 [dio]!  ";
inline constexpr const char *kActPulseFrequency = "错误2:值a为PWM频率(hz),必须小于1000000";
inline constexpr const char *kActPulseDuty = "错误3:值b为PWM占空比(%),必须介于0.000~100.000之间!";
inline constexpr const char *kActPulseUnit = "错误4:值类型必须为 [频/占]!  ";
inline constexpr const char *kActArithmeticOperator = "错误1:运算符必须为 [=]/[+]/[-]!  ";
inline constexpr const char *kActCounterUnit = "错误3:值类型必须为 [cnt]!  ";
inline constexpr const char *kActAnalogNoScaling = "错误3:编程涉及模拟量操作,请先到AI/AO页面加载量纲文件！";
inline constexpr const char *kActAnalogUnitMismatch = "错误4:模拟量量纲选择与所加载量纲文件不一致！";
inline constexpr const char *kActAnalogVariable = "错误5:值a的变量号必须介于1(含)-256(含)之间!  ";
inline constexpr const char *kActTimerUnit = "错误2:值类型必须为 [ms]!  ";
inline constexpr const char *kActDelayOperator = "错误1:运算符必须为 [=]!  ";
inline constexpr const char *kActDelayUnit = "错误2:值类型必须为 [ms]或者[var]!  ";
inline constexpr const char *kActDelayVariable = "错误3:值a的变量号必须介于1(含)-256(含)之间!  ";
inline constexpr const char *kActGroupOperator = "错误1:运算符必须为 [str]/[strclr]/[rep]!  ";
inline constexpr const char *kActGroupUnit = "错误2:值类型必须为 [none]!  ";

// --- preview ------------------------------------------------------------------
inline constexpr const char *kPreviewBlockHeader =
    "\r\n<program%u>控制块预览-------------------------------------------------------\r\n";
inline constexpr const char *kPreviewCondArea = "\r\n<cond>\r\n";
inline constexpr const char *kPreviewActArea = "\r\n<act>\r\n";
inline constexpr const char *kPreviewIf = "如果 ";
inline constexpr const char *kPreviewDo = "执行 ";

// --- project file -------------------------------------------------------------
inline constexpr const char *kPasswordHint = "注意:密码必须为数字或字母,不超过16个字符";
inline constexpr const char *kPasswordEmpty = "密码不能为空!";
inline constexpr const char *kPasswordTooLong = "密码不能超过16个字符!";
inline constexpr const char *kPasswordsDiffer = "两次密码不一致!";
inline constexpr const char *kPasswordWrong = "密码错误!";
inline constexpr const char *kSaveOk = "保存成功!";
inline constexpr const char *kNotCorrectFile = "Not correct file(%u)!\n";

// --- download -----------------------------------------------------------------
inline constexpr const char *kLogSending = "升级EPLC:正在传送,Block %u,Byte %u\r\n";
inline constexpr const char *kLogAckTimeout = "升级EPLC:传送超时,准备重新传送\r\n";
inline constexpr const char *kLogCancelled = "EPLC下载已被取消!\r\n";
// a packet the module refused (kEventPlcPacket), with its error code
inline constexpr const char *kLogRefused = "升级EPLC: 传送失败,准备重新传送,错误码%u.\r\n";
inline constexpr const char *kTransferOk = "QXP工程文件传输成功!";
inline constexpr const char *kTransferFailed = "QXP工程文件传输失败!";
inline constexpr const char *kTransferCancelled = "已取消EPLC下载!";
inline constexpr const char *kNeedEmptyProject = "请先新建或加载一个空白工程!";

// --- programming page -----------------------------------------------------------
inline constexpr const char *kNeedBlock = "请先选择控制块！";
inline constexpr const char *kReportNewProject =
    "\r\n提示：新建工程完成!\r\n你可以点击选择右侧的编程块开始你的编程啦!\r\n编程完成后记得保存工程哦^_^\r\n";
// A value field that does not hold a number (block, row kind and row, field,
// the text as typed).
inline constexpr const char *kValueNotInteger = "控制块%d [%s%d] %s: \"%s\" 不是有效的整数,请重新输入!";
inline constexpr const char *kValueNotNumber = "控制块%d [%s%d] %s: \"%s\" 不是有效的数值,请重新输入!";
inline constexpr const char *kRowCondition = "条件";
inline constexpr const char *kRowAction = "动作";
inline constexpr const char *kFieldCondA = "条件值a";
inline constexpr const char *kFieldCondB = "条件值b";
inline constexpr const char *kFieldActA = "输出值a";
inline constexpr const char *kFieldActB = "输出值b";

// page controls
inline constexpr const char *kButtonLoad = "载入工程或源码";
inline constexpr const char *kButtonNew = "新建工程";
inline constexpr const char *kButtonRefresh = "刷新并编译";
inline constexpr const char *kButtonSave = "保存工程";
inline constexpr const char *kButtonRamRun = "下载RAM并运行";
inline constexpr const char *kButtonFlashRun = "下载FLASH并运行";
inline constexpr const char *kButtonFlashRestart = "下载FLASH并重启";
inline constexpr const char *kButtonClearFlash = "清空FLASH并重启";
inline constexpr const char *kButtonCancelTransfer = "取消升级";
inline constexpr const char *kButtonCancelClear = "取消清空";
inline constexpr const char *kButtonCommit = "参与运行";
inline constexpr const char *kButtonStop = "禁止运行";
inline constexpr const char *kButtonClearBlock = "清空该编程块";
inline constexpr const char *kButtonUp = "上移";
inline constexpr const char *kButtonDown = "下移";
inline constexpr const char *kButtonDelete = "删除";
inline constexpr const char *kStep1 =
    "STEP1:单击一个编程块开始编程,绿色为参与运行,蓝色为不参与运行,灰色为空闲,控制器会循环扫描运行绿色控制块。";
inline constexpr const char *kStep2 =
    "STEP2:对该控制块进行[条件-动作]组合,左侧的条件都满足后,右侧的动作才会按顺序执行,  当前块号:";
inline constexpr const char *kStep3 = "STEP3:控制块编写完成后,可以:";
inline constexpr const char *kRowHint = "圆点选中 [条件/动作] 所在行，可以：";
inline constexpr const char *kHeadCondition = "条件";
inline constexpr const char *kHeadSource = "来源";
inline constexpr const char *kHeadOperator = "运算符";
inline constexpr const char *kHeadCondA = "条件值a";
inline constexpr const char *kHeadCondB = "条件值b";
inline constexpr const char *kHeadUnit = "值类型";
inline constexpr const char *kHeadAction = "动作";
inline constexpr const char *kHeadObject = "对象";
inline constexpr const char *kHeadOperation = "操作";
inline constexpr const char *kHeadActA = "输出值a";
inline constexpr const char *kHeadActB = "输出值b";
inline constexpr const char *kProjectFilter = "工程文件(*.qprj)|*.qprj|源码文件(*.txt)|*.txt||";
inline constexpr const char *kSaveFilter = "工程文件(*.qprj)|*.qprj|所有文件(*.*)|*.*||";
// the report box and the block buttons' states, for the accessibility tree
inline constexpr const char *kReportBoxName = "编译报告";
inline constexpr const char *kBlockFreeName = "空闲";
inline constexpr const char *kBlockRunsName = "参与运行";
inline constexpr const char *kBlockStoppedName = "不参与运行";
inline constexpr const char *kProgressName = "传输进度";

// dialogs
inline constexpr const char *kDialogOk = "确定";
inline constexpr const char *kDialogCancel = "取消";
inline constexpr const char *kTransTitle = "工程传输";
inline constexpr const char *kTransBlockSize = "传输分块大小(BYTE):";
inline constexpr const char *kTransNote = "注意:";
inline constexpr const char *kTransNote1 = "1.调试程序尽量选择RAM下载!";
inline constexpr const char *kTransNote2 = "2.LORA传输请选择64或更小分块!";
inline constexpr const char *kPasswordTitle = "请输入工程密码";
inline constexpr const char *kPasswordLabel = "密码:";
inline constexpr const char *kConfirmLabel = "确认密码:";
inline constexpr const char *kNoticeTitle = "提示";
inline constexpr const char *kSourceNotice1 = "1.当前选择源码编程模式!";
inline constexpr const char *kSourceNotice2 = "2.源码加载后,可点击\"刷新并编译\"自动加载,无需重复打开源码!";
inline constexpr const char *kSourceNotice3 = "3.源码可以生成工程文件,但反向不行!";
inline constexpr const char *kProjectNotice1 = "1.当前选择可视化编程模式!";
inline constexpr const char *kProjectNotice2 =
    "2.可视化编程后只能生成工程文件,工程文件可保存可加载，但无法反向生成源码文件!";
inline constexpr const char *kProjectNotice3 = "3.工程文件修改后请及时编译保存!";

} // namespace qx::plc_texts

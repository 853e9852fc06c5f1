<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AuthenticateDialog</name>
    <message>
        <source>Dialog</source>
        <translation>对话框</translation>
    </message>
    <message>
        <source>Please provide the user name and password for the download location.</source>
        <translation>请输入下载位置的用户名和密码。</translation>
    </message>
    <message>
        <source>&amp;User name:</source>
        <translation>用户名(&amp;U):</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>密码(&amp;P):</translation>
    </message>
</context>
<context>
    <name>ByteSizeText</name>
    <message>
        <source>%1 B</source>
        <translation>%1 B</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>%1 GB</source>
        <translation>%1 GB</translation>
    </message>
</context>
<context>
    <name>CDialog</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>CLuaScriptEngine</name>
    <message>
        <source>Failed to create Lua state</source>
        <translation>创建 Lua 状态失败</translation>
    </message>
    <message>
        <source>[cvn_send] the port did not take the data within %1 ms; %2 bytes dropped
</source>
        <translation>[cvn_send] 串口未在 %1 ms 内接收数据；已丢弃 %2 字节
</translation>
    </message>
    <message>
        <source>Failed to open script: %1</source>
        <translation>无法打开脚本：%1</translation>
    </message>
    <message>
        <source>cvn_frame_parser not defined in script</source>
        <translation>脚本中未定义 cvn_frame_parser</translation>
    </message>
    <message>
        <source>Not a script file: %1</source>
        <translation>不是脚本文件：%1</translation>
    </message>
    <message>
        <source>File not found: %1</source>
        <translation>文件不存在：%1</translation>
    </message>
    <message>
        <source>No script file to reload</source>
        <translation>没有可重新加载的脚本文件</translation>
    </message>
    <message>
        <source>Script engine busy, reload postponed</source>
        <translation>脚本引擎忙，稍后重新加载</translation>
    </message>
    <message>
        <source>%1; the frame parser was switched off</source>
        <translation>%1；帧解析器已关闭</translation>
    </message>
    <message>
        <source>Automation stopped
</source>
        <translation>自动化已停止
</translation>
    </message>
    <message>
        <source>Automation aborted on error
</source>
        <translation>自动化因错误中止
</translation>
    </message>
    <message>
        <source>Automation finished: %1 passed, %2 failed
</source>
        <translation>自动化完成：%1 通过，%2 失败
</translation>
    </message>
    <message>
        <source>os.exit is not available in scripts: return from the script instead</source>
        <translation>脚本中不能使用 os.exit：请改为从脚本返回</translation>
    </message>
    <message>
        <source>%1
(further frame-parser errors are not shown until the parser is switched on or loaded again)</source>
        <translation>%1
（在重新开启或重新加载解析器之前，不再显示后续的帧解析错误）</translation>
    </message>
</context>
<context>
    <name>CLuaScriptWidget</name>
    <message>
        <source>Lua Files (*.lua);;All Files (*)</source>
        <translation>Lua 文件 (*.lua);;所有文件 (*)</translation>
    </message>
    <message>
        <source>No script loaded.</source>
        <translation>未加载脚本。</translation>
    </message>
    <message>
        <source>-- Write your Lua script here...
-- Frame Parser mode: define a cvn_frame_parser(data) function to process serial data.
-- Script Executor mode: write the test flow at top level, Run executes the whole script:
--   cvn_send(data), cvn_send_hex(&quot;AA BB&quot;), cvn_receive(timeout_ms),
--   cvn_receive_until(match, timeout_ms), cvn_expect(cmd, expect, timeout_ms),
--   cvn_sleep_ms(ms), cvn_clear_rx(), cvn_report(name, passed, detail)</source>
        <translation>-- 在此编写 Lua 脚本...
-- 帧解析模式：定义 cvn_frame_parser(data) 函数处理串口数据。
-- 脚本执行模式：在顶层编写测试流程，运行时执行整个脚本：
--   cvn_send(data), cvn_send_hex(&quot;AA BB&quot;), cvn_receive(timeout_ms),
--   cvn_receive_until(match, timeout_ms), cvn_expect(cmd, expect, timeout_ms),
--   cvn_sleep_ms(ms), cvn_clear_rx(), cvn_report(name, passed, detail)</translation>
    </message>
    <message>
        <source>Lua Script Engine</source>
        <translation>Lua 脚本引擎</translation>
    </message>
    <message>
        <source>Script Path: </source>
        <translation>脚本路径：</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>加载</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>保存</translation>
    </message>
    <message>
        <source>Reload</source>
        <translation>重新加载</translation>
    </message>
    <message>
        <source>Mode Select: </source>
        <translation>模式选择：</translation>
    </message>
    <message>
        <source>Frame Parser</source>
        <translation>帧解析器</translation>
    </message>
    <message>
        <source>Script Executor</source>
        <translation>脚本执行器</translation>
    </message>
    <message>
        <source>Enable Frame Parser</source>
        <translation>启用帧解析器</translation>
    </message>
    <message>
        <source>Enable Script Executor</source>
        <translation>启用脚本执行器</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Save Lua Script</source>
        <translation>保存 Lua 脚本</translation>
    </message>
    <message>
        <source>Load Lua Script</source>
        <translation>加载 Lua 脚本</translation>
    </message>
    <message>
        <source>Script read failed: %1</source>
        <translation>脚本读取失败：%1</translation>
    </message>
    <message>
        <source>Script loaded</source>
        <translation>脚本已加载</translation>
    </message>
    <message>
        <source>Loading script...</source>
        <translation>正在加载脚本...</translation>
    </message>
    <message>
        <source>Script load failed!</source>
        <translation>脚本加载失败！</translation>
    </message>
    <message>
        <source>Script editor is empty!</source>
        <translation>脚本编辑器为空！</translation>
    </message>
    <message>
        <source>Script save failed: %1</source>
        <translation>脚本保存失败：%1</translation>
    </message>
    <message>
        <source>Script save successfully!</source>
        <translation>脚本保存成功！</translation>
    </message>
    <message>
        <source>Please select a lua script file!</source>
        <translation>请选择 Lua 脚本文件！</translation>
    </message>
    <message>
        <source>Script reloaded successfully!</source>
        <translation>脚本重新加载成功！</translation>
    </message>
    <message>
        <source>Please load a lua script first!</source>
        <translation>请先加载 Lua 脚本！</translation>
    </message>
    <message>
        <source>Frame parser mode.</source>
        <translation>帧解析模式。</translation>
    </message>
    <message>
        <source>Script executor mode.</source>
        <translation>脚本执行模式。</translation>
    </message>
    <message>
        <source>Automation running...</source>
        <translation>自动化运行中...</translation>
    </message>
    <message>
        <source>Automation finished.</source>
        <translation>自动化已结束。</translation>
    </message>
    <message>
        <source>Script enabled — %1</source>
        <translation>脚本已启用 — %1</translation>
    </message>
    <message>
        <source>Script disabled.</source>
        <translation>脚本已禁用。</translation>
    </message>
    <message>
        <source>Lua engine error!!</source>
        <translation>Lua 引擎错误！！</translation>
    </message>
</context>
<context>
    <name>CProgressDialog</name>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>CTitleBar</name>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Theme</source>
        <translation>主题</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>语言</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>最小化</translation>
    </message>
    <message>
        <source>Maximize</source>
        <translation>最大化</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>还原</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Too many arguments: only one PORT can be opened (got %1).</source>
        <translation>参数过多：只能打开一个端口（收到 %1）。</translation>
    </message>
    <message>
        <source>The PORT argument is empty.</source>
        <translation>PORT 参数为空。</translation>
    </message>
    <message>
        <source>--baud is given more than once.</source>
        <translation>--baud 被指定了多次。</translation>
    </message>
    <message>
        <source>Invalid baud rate &quot;%1&quot;: expected a positive whole number.</source>
        <translation>无效的波特率“%1”：应为正整数。</translation>
    </message>
    <message>
        <source>--baud needs a PORT to open.</source>
        <translation>--baud 需要同时指定要打开的 PORT。</translation>
    </message>
    <message>
        <source>Try &apos;corvane --help&apos; for more information.</source>
        <translation>运行“corvane --help”查看更多信息。</translation>
    </message>
    <message>
        <source>--check-install takes no other arguments.</source>
        <translation>--check-install 不接受其他参数。</translation>
    </message>
    <message>
        <source>Usage: corvane [PORT] [--baud N]

Corvane %1, a workbench for serial-port engineers.

Arguments:
  PORT           port to select and open at start: a name such as ttyUSB0,
                 or a device path such as /dev/ttyUSB0, /dev/pts/3 or /tmp/ttyV0

Options:
  --baud N       baud rate for PORT (a positive whole number);
                 without it the last used rate applies
  --check-install
                 report whether every run-time file (fonts, themes, translations,
                 protocols, rules, documents) is found, then exit (0 all found,
                 1 something missing)
  -h, --help     show this help and exit
  -v, --version  print the version and exit
</source>
        <translation>用法：corvane [PORT] [--baud N]

Corvane %1，面向串口工程师的调试工作台。

参数：
  PORT           启动时选择并打开的端口：名称如 ttyUSB0，
                 或设备路径如 /dev/ttyUSB0、/dev/pts/3 或 /tmp/ttyV0

选项：
  --baud N       PORT 的波特率（正整数）；
                 省略时沿用上次使用的波特率
  --check-install
                 检查每个运行时文件（字体、主题、翻译、协议、规则、文档）
                 是否都能找到，然后退出（0 全部找到，1 有缺失）
  -h, --help     显示本帮助并退出
  -v, --version  显示版本号并退出
</translation>
    </message>
</context>
<context>
    <name>ConfirmDialog</name>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
</context>
<context>
    <name>CsvProtocolParser</name>
    <message>
        <source>Empty CSV frame</source>
        <translation>空的 CSV 帧</translation>
    </message>
    <message>
        <source>CSV frame too long, discarded</source>
        <translation>CSV 帧过长，已丢弃</translation>
    </message>
</context>
<context>
    <name>DemoDevice</name>
    <message>
        <source>replaced an old link at %1</source>
        <translation>已替换 %1 处的旧链接</translation>
    </message>
    <message>
        <source>command: %1</source>
        <translation>命令：%1</translation>
    </message>
    <message>
        <source>burst of %1 bytes</source>
        <translation>突发发送 %1 字节</translation>
    </message>
    <message>
        <source>unplugged: %1 removed for %2 s</source>
        <translation>已拔出：%1 移除 %2 秒</translation>
    </message>
    <message>
        <source>cannot come back at %1: %2</source>
        <translation>无法在 %1 重新出现：%2</translation>
    </message>
    <message>
        <source>plugged in again: %1 -&gt; %2</source>
        <translation>已重新插入：%1 -&gt; %2</translation>
    </message>
    <message>
        <source>%1 wave frames dropped: the client reads too slowly</source>
        <translation>丢弃了 %1 个波形帧：客户端读取太慢</translation>
    </message>
    <message>
        <source>nobody reads the line: %1 bytes of output discarded</source>
        <translation>没有程序读取该线路：丢弃了 %1 字节输出</translation>
    </message>
    <message>
        <source>%1: handing the line to %2</source>
        <translation>%1：将线路交给 %2</translation>
    </message>
</context>
<context>
    <name>DownloadTask</name>
    <message>
        <source>Redirect to %1 refused</source>
        <translation>已拒绝重定向到 %1</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>无法写入 %1：%2</translation>
    </message>
    <message>
        <source>Cannot replace %1</source>
        <translation>无法替换 %1</translation>
    </message>
    <message>
        <source>Cannot rename %1 to %2</source>
        <translation>无法将 %1 重命名为 %2</translation>
    </message>
</context>
<context>
    <name>Downloader</name>
    <message>
        <source>%1 bytes</source>
        <translation>%1 字节</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>Downloading updates</source>
        <translation>正在下载更新</translation>
    </message>
    <message>
        <source>of</source>
        <translation>/</translation>
    </message>
    <message>
        <source>unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>about one hour</source>
        <translation>约一小时</translation>
    </message>
    <message>
        <source>about %1 hours</source>
        <translation>约 %1 小时</translation>
    </message>
    <message>
        <source>1 minute</source>
        <translation>1 分钟</translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <translation>%1 分钟</translation>
    </message>
    <message>
        <source>1 second</source>
        <translation>1 秒</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 秒</translation>
    </message>
    <message>
        <source>Time remaining</source>
        <translation>剩余时间</translation>
    </message>
    <message>
        <source>Time Remaining</source>
        <translation>剩余时间</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>Downloading Updates</source>
        <translation>正在下载更新</translation>
    </message>
    <message>
        <source>Time remaining: 0 minutes</source>
        <translation>剩余时间: 0 分钟</translation>
    </message>
    <message>
        <source>Download failed: %1</source>
        <translation>下载失败：%1</translation>
    </message>
    <message>
        <source>Download complete!</source>
        <translation>下载完成！</translation>
    </message>
    <message>
        <source>The installer opens separately</source>
        <translation>安装程序将单独打开</translation>
    </message>
    <message>
        <source>Click &quot;OK&quot; to begin installing the update</source>
        <translation>点击“确定”开始安装更新</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application. This is a mandatory update, exiting now will close the application.</source>
        <translation>安装更新可能需要退出本程序。这是强制更新，现在退出将关闭程序。</translation>
    </message>
    <message>
        <source>In order to install the update, you may need to quit the application.</source>
        <translation>安装更新可能需要退出本程序。</translation>
    </message>
    <message>
        <source>Click the &quot;Open&quot; button to apply the update</source>
        <translation>点击“打开”按钮应用更新</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>错误</translation>
    </message>
    <message>
        <source>Cannot find downloaded update!</source>
        <translation>找不到已下载的更新！</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download? This is a mandatory update, exiting now will close the application</source>
        <translation>确定要取消下载吗？这是强制更新，现在退出将关闭程序</translation>
    </message>
    <message>
        <source>Are you sure you want to cancel the download?</source>
        <translation>确定要取消下载吗？</translation>
    </message>
    <message>
        <source>Updater</source>
        <translation>更新程序</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
</context>
<context>
    <name>FileTransimisionWidget</name>
    <message>
        <source>0 KB/s</source>
        <translation>0 KB/s</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Please open serial port!</source>
        <translation>请先打开串口！</translation>
    </message>
    <message>
        <source>Please select a file!</source>
        <translation>请选择文件！</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>暂停</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>File Transimision</source>
        <translation>文件传输</translation>
    </message>
    <message>
        <source>File Select:</source>
        <translation>选择文件:</translation>
    </message>
    <message>
        <source>Protocol Select:</source>
        <translation>选择协议:</translation>
    </message>
    <message>
        <source>Interval:</source>
        <translation>间隔:</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Block Size:</source>
        <translation>块大小:</translation>
    </message>
    <message>
        <source>Bytes</source>
        <translation>字节</translation>
    </message>
    <message>
        <source>Progress:</source>
        <translation>进度:</translation>
    </message>
    <message>
        <source>Enable Log</source>
        <translation>启用日志</translation>
    </message>
    <message>
        <source>Select file to transmit</source>
        <translation>选择要发送的文件</translation>
    </message>
</context>
<context>
    <name>FileTransmission</name>
    <message>
        <source>No file selected…</source>
        <translation>未选择文件…</translation>
    </message>
    <message>
        <source>Plain Text</source>
        <translation>纯文本</translation>
    </message>
    <message>
        <source>Raw Binary</source>
        <translation>原始二进制</translation>
    </message>
    <message>
        <source>XMODEM-CRC</source>
        <translation>XMODEM-CRC</translation>
    </message>
    <message>
        <source>XMODEM-1K</source>
        <translation>XMODEM-1K</translation>
    </message>
    <message>
        <source>YMODEM</source>
        <translation>YMODEM</translation>
    </message>
    <message>
        <source>ZMODEM</source>
        <translation>ZMODEM</translation>
    </message>
    <message>
        <source>%1 B/s</source>
        <translation>%1 B/s</translation>
    </message>
    <message>
        <source>%1 MB/s</source>
        <translation>%1 MB/s</translation>
    </message>
    <message>
        <source>%1 KB/s</source>
        <translation>%1 KB/s</translation>
    </message>
    <message>
        <source>Not a regular file</source>
        <translation>不是普通文件</translation>
    </message>
    <message>
        <source>Error opening file: %1</source>
        <translation>打开文件出错: %1</translation>
    </message>
    <message>
        <source>File selected: %1 (%2 bytes)</source>
        <translation>已选择文件: %1 (%2 字节)</translation>
    </message>
    <message>
        <source>Starting %1 transfer…</source>
        <translation>开始 %1 传输…</translation>
    </message>
    <message>
        <source>Transmission complete</source>
        <translation>发送完成</translation>
    </message>
    <message>
        <source>Plain text transmission complete</source>
        <translation>纯文本发送完成</translation>
    </message>
    <message>
        <source>Raw binary transmission complete (%1 bytes)</source>
        <translation>原始二进制发送完成 (%1 字节)</translation>
    </message>
    <message>
        <source>Transfer failed: %1</source>
        <translation>传输失败: %1</translation>
    </message>
    <message>
        <source>Transfer complete</source>
        <translation>传输完成</translation>
    </message>
    <message>
        <source>Transfer completed successfully (%1 bytes)</source>
        <translation>传输成功完成 (%1 字节)</translation>
    </message>
    <message>
        <source>Transfer stalled: no progress for %1 s</source>
        <translation>传输停滞: %1 秒内没有任何进展</translation>
    </message>
</context>
<context>
    <name>FrameAssemblerWidget</name>
    <message>
        <source>Auto</source>
        <translation>自动</translation>
    </message>
    <message>
        <source>%1-bit</source>
        <translation>%1 位</translation>
    </message>
    <message>
        <source>Error: %1</source>
        <translation>错误：%1</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 字节</translation>
    </message>
    <message>
        <source>Describe:</source>
        <translation>描述：</translation>
    </message>
    <message>
        <source>Protocol Describe:</source>
        <translation>协议描述：</translation>
    </message>
    <message>
        <source>Frame Assembler</source>
        <translation>帧组装器</translation>
    </message>
    <message>
        <source>Protocol:</source>
        <translation>协议：</translation>
    </message>
    <message>
        <source>Open Protocol Folder</source>
        <translation>打开协议文件夹</translation>
    </message>
    <message>
        <source>Reload Protocols</source>
        <translation>重新加载协议</translation>
    </message>
    <message>
        <source>No protocol loaded</source>
        <translation>未加载协议</translation>
    </message>
    <message>
        <source>Preview:</source>
        <translation>预览：</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>var</source>
        <translation>可变</translation>
    </message>
    <message>
        <source>%1 B</source>
        <translation>%1 B</translation>
    </message>
</context>
<context>
    <name>FrameBuilder</name>
    <message>
        <source>Field &apos;%1&apos;: invalid value &apos;%2&apos;</source>
        <translation>字段“%1”：无效的值“%2”</translation>
    </message>
    <message>
        <source>Field &apos;%1&apos;: value %2 exceeds %3-bit max (%4)</source>
        <translation>字段“%1”：值 %2 超出 %3 位的最大值（%4）</translation>
    </message>
    <message>
        <source>Field &apos;%1&apos; expects %2 bytes, got %3</source>
        <translation>字段“%1”需要 %2 字节，实际为 %3 字节</translation>
    </message>
    <message>
        <source>Unknown CRC algorithm: %1</source>
        <translation>未知的校验算法：%1</translation>
    </message>
    <message>
        <source>Field &apos;%1&apos;: checksum data exceeds %2 bytes</source>
        <translation>字段“%1”：校验数据超过 %2 字节</translation>
    </message>
</context>
<context>
    <name>GroupNameDialog</name>
    <message>
        <source>Add Group</source>
        <translation>添加分组</translation>
    </message>
    <message>
        <source>Group Name: </source>
        <translation>分组名称: </translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
</context>
<context>
    <name>InputBox</name>
    <message>
        <source>发送</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>Clear History</source>
        <translation>清除历史</translation>
    </message>
    <message>
        <source>Send (Enter)</source>
        <translation>发送（Enter）</translation>
    </message>
    <message>
        <source>Enter: send · Shift+Enter: new line</source>
        <translation>Enter：发送 · Shift+Enter：换行</translation>
    </message>
</context>
<context>
    <name>InstallCheck</name>
    <message>
        <source>data folder</source>
        <translation>数据文件夹</translation>
    </message>
    <message>
        <source>log font</source>
        <translation>日志字体</translation>
    </message>
    <message>
        <source>icon fonts</source>
        <translation>图标字体</translation>
    </message>
    <message>
        <source>theme</source>
        <translation>主题</translation>
    </message>
    <message>
        <source>%1 characters of style sheet</source>
        <translation>样式表 %1 个字符</translation>
    </message>
    <message>
        <source>translations (%1)</source>
        <translation>翻译 (%1)</translation>
    </message>
    <message>
        <source>protocols</source>
        <translation>协议</translation>
    </message>
    <message>
        <source>%1 loaded from %2</source>
        <translation>已从 %2 加载 %1 个</translation>
    </message>
    <message>
        <source>highlighting rules</source>
        <translation>高亮规则</translation>
    </message>
    <message>
        <source>help documents</source>
        <translation>帮助文档</translation>
    </message>
    <message>
        <source>sample scripts</source>
        <translation>示例脚本</translation>
    </message>
</context>
<context>
    <name>LineStamp</name>
    <message>
        <source>Time of day</source>
        <translation>当日时间</translation>
    </message>
    <message>
        <source>ISO 8601</source>
        <translation>ISO 8601</translation>
    </message>
    <message>
        <source>Since open (s)</source>
        <translation>自打开起 (秒)</translation>
    </message>
    <message>
        <source>Delta (s)</source>
        <translation>相邻行间隔 (秒)</translation>
    </message>
</context>
<context>
    <name>LogActions</name>
    <message>
        <source>字体</source>
        <translation>字体</translation>
    </message>
    <message>
        <source>清除Log</source>
        <translation>清除日志</translation>
    </message>
    <message>
        <source>Log save failed!</source>
        <translation>日志保存失败！</translation>
    </message>
    <message>
        <source>Log is empty.</source>
        <translation>日志为空。</translation>
    </message>
    <message>
        <source>Log Save</source>
        <translation>保存日志</translation>
    </message>
</context>
<context>
    <name>LogSearchBar</name>
    <message>
        <source>Invalid pattern</source>
        <translation>无效的表达式</translation>
    </message>
    <message>
        <source>No results</source>
        <translation>无结果</translation>
    </message>
    <message>
        <source>%1 of %2</source>
        <translation>第 %1 个，共 %2 个</translation>
    </message>
    <message>
        <source>%1 matches</source>
        <translation>%1 个匹配</translation>
    </message>
    <message>
        <source>Search the log</source>
        <translation>在日志中搜索</translation>
    </message>
    <message>
        <source>Regex</source>
        <translation>正则</translation>
    </message>
    <message>
        <source>Regular expression</source>
        <translation>正则表达式</translation>
    </message>
    <message>
        <source>Aa</source>
        <translation>Aa</translation>
    </message>
    <message>
        <source>Match case</source>
        <translation>区分大小写</translation>
    </message>
    <message>
        <source>Previous match (Shift+Enter)</source>
        <translation>上一个匹配 (Shift+Enter)</translation>
    </message>
    <message>
        <source>Next match (Enter)</source>
        <translation>下一个匹配 (Enter)</translation>
    </message>
    <message>
        <source>Close (Esc)</source>
        <translation>关闭 (Esc)</translation>
    </message>
</context>
<context>
    <name>LogWidget</name>
    <message>
        <source>LOG</source>
        <translation>日志</translation>
    </message>
    <message>
        <source>Highlighter</source>
        <translation>高亮</translation>
    </message>
    <message>
        <source>Auto Scroll</source>
        <translation>自动滚动</translation>
    </message>
    <message>
        <source>Save Log to File</source>
        <translation>将日志保存到文件</translation>
    </message>
    <message>
        <source>Clear log</source>
        <translation>清除日志</translation>
    </message>
    <message>
        <source>ANSI colours</source>
        <translation>ANSI 颜色</translation>
    </message>
    <message>
        <source>Show the colours the device sends (ANSI codes); off, the codes are removed</source>
        <translation>显示设备发送的颜色（ANSI 代码）；关闭时删除这些代码</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>亮色主题</source>
        <translation>亮色主题</translation>
    </message>
    <message>
        <source>暖色终端主题</source>
        <translation>暖色终端主题</translation>
    </message>
    <message>
        <source>午夜信号主题</source>
        <translation>午夜信号主题</translation>
    </message>
    <message>
        <source>森林实验室主题</source>
        <translation>森林实验室主题</translation>
    </message>
    <message>
        <source>暗色主题</source>
        <translation>暗色主题</translation>
    </message>
    <message>
        <source>深紫主题</source>
        <translation>深紫主题</translation>
    </message>
    <message>
        <source>翡翠绿主题</source>
        <translation>翡翠绿主题</translation>
    </message>
    <message>
        <source>英语</source>
        <translation>English</translation>
    </message>
    <message>
        <source>简体中文</source>
        <translation>简体中文</translation>
    </message>
    <message>
        <source>User Guide</source>
        <translation>用户指南</translation>
    </message>
    <message>
        <source>Custom Protocol Guide</source>
        <translation>自定义协议指南</translation>
    </message>
    <message>
        <source>Lua Script API Guide</source>
        <translation>Lua 脚本 API 指南</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>键盘快捷键</translation>
    </message>
    <message>
        <source>About Qt</source>
        <translation>关于 Qt</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>未连接</translation>
    </message>
    <message>
        <source>Rx: %1 Bytes</source>
        <translation>接收：%1 字节</translation>
    </message>
    <message>
        <source>Tx: %1 Bytes</source>
        <translation>发送：%1 字节</translation>
    </message>
    <message>
        <source>Version: v%1</source>
        <translation>版本：v%1</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>The help document is missing:
%1</source>
        <translation>找不到帮助文档：
%1</translation>
    </message>
    <message>
        <source>No program on this desktop could open the help document. You can open it yourself:
%1</source>
        <translation>桌面上没有能打开该帮助文档的程序。可以手动打开：
%1</translation>
    </message>
    <message>
        <source>Update check URL is not configured.</source>
        <translation>未配置更新检查地址。</translation>
    </message>
    <message>
        <source>Checking for updates...</source>
        <translation>正在检查更新...</translation>
    </message>
    <message>
        <source>%1 Update</source>
        <translation>%1 更新</translation>
    </message>
    <message>
        <source>Update downloaded — please install</source>
        <translation>更新已下载 — 请安装</translation>
    </message>
    <message>
        <source>Failed to save the settings to:
%1
Changes made in this session are lost.</source>
        <translation>无法将设置保存到：
%1
本次运行中所做的更改已丢失。</translation>
    </message>
</context>
<context>
    <name>MeasureFormat</name>
    <message>
        <source> ns</source>
        <translation> ns</translation>
    </message>
    <message>
        <source> us</source>
        <translation> us</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source> GHz</source>
        <translation> GHz</translation>
    </message>
    <message>
        <source> MHz</source>
        <translation> MHz</translation>
    </message>
    <message>
        <source> KHz</source>
        <translation> KHz</translation>
    </message>
    <message>
        <source> Hz</source>
        <translation> Hz</translation>
    </message>
    <message>
        <source>T = %1

∆t = 0s</source>
        <translation>T = %1

∆t = 0s</translation>
    </message>
    <message>
        <source>T = %1
∆t = %3
Freq = %4</source>
        <translation>T = %1
∆t = %3
频率 = %4</translation>
    </message>
    <message>
        <source>P%1 -&gt; </source>
        <translation>P%1 -&gt; </translation>
    </message>
    <message>
        <source>∆ = </source>
        <translation>∆ = </translation>
    </message>
    <message>
        <source> (0Hz)</source>
        <translation> (0Hz)</translation>
    </message>
    <message>
        <source>Min: %1  Max: %2  Avg: %3</source>
        <translation>最小: %1  最大: %2  平均: %3</translation>
    </message>
    <message>
        <source>Pk-Pk: %1  N: %2</source>
        <translation>峰峰值: %1  N: %2</translation>
    </message>
</context>
<context>
    <name>MultiChannelWaveformWidget</name>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Are you sure you want to delete all data?</source>
        <translation>确定要删除所有数据吗？</translation>
    </message>
    <message>
        <source>Delete Cursor Pair</source>
        <translation>删除光标对</translation>
    </message>
    <message>
        <source>Delete Range Measure</source>
        <translation>删除区间测量</translation>
    </message>
    <message>
        <source>Fit View</source>
        <translation>适应视图</translation>
    </message>
    <message>
        <source>Resize All Channels To Match</source>
        <translation>所有通道调整为相同高度</translation>
    </message>
    <message>
        <source>Restore Y Axis Range</source>
        <translation>恢复 Y 轴范围</translation>
    </message>
    <message>
        <source>Save Waveform To Image</source>
        <translation>保存波形为图片</translation>
    </message>
    <message>
        <source>Save CSV</source>
        <translation>保存 CSV</translation>
    </message>
    <message>
        <source>Replay CSV</source>
        <translation>回放 CSV</translation>
    </message>
    <message>
        <source>Delete Data</source>
        <translation>删除数据</translation>
    </message>
    <message>
        <source>Delete All Cursor Pair</source>
        <translation>删除所有光标对</translation>
    </message>
    <message>
        <source>Delete All Range Measure</source>
        <translation>删除所有区间测量</translation>
    </message>
    <message>
        <source>%1 B</source>
        <translation>%1 B</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>%1 GB</source>
        <translation>%1 GB</translation>
    </message>
    <message>
        <source>file name is invalid!</source>
        <translation>文件名无效！</translation>
    </message>
    <message>
        <source>Saving data...</source>
        <translation>正在保存数据...</translation>
    </message>
    <message>
        <source>Failed to open file:
%1</source>
        <translation>打开文件失败：
%1</translation>
    </message>
    <message>
        <source>The file %1 cannot be replayed:
%2</source>
        <translation>无法回放文件 %1：
%2</translation>
    </message>
    <message>
        <source>Loading %1 (%2) ...</source>
        <translation>正在加载 %1 (%2) ...</translation>
    </message>
    <message>
        <source>Can&apos;t save image %1!</source>
        <translation>无法保存图片 %1！</translation>
    </message>
    <message>
        <source>Have no data to save!</source>
        <translation>没有可保存的数据！</translation>
    </message>
    <message>
        <source>Export CSV</source>
        <translation>导出 CSV</translation>
    </message>
    <message>
        <source>CSV Files (*.csv)</source>
        <translation>CSV 文件 (*.csv)</translation>
    </message>
    <message>
        <source>The replay function requires deleting the current data. 
Are you sure you want to delete the current data?</source>
        <translation>回放功能需要删除当前数据。
确定要删除当前数据吗？</translation>
    </message>
    <message>
        <source>Save Waveform</source>
        <translation>保存波形</translation>
    </message>
    <message>
        <source>Image (*.png)</source>
        <translation>图片 (*.png)</translation>
    </message>
</context>
<context>
    <name>MultiLineDataManager</name>
    <message>
        <source>无法打开文件: %1</source>
        <translation>无法打开文件: %1</translation>
    </message>
    <message>
        <source>The file is too large (%1 bytes).</source>
        <translation>文件过大（%1 字节）。</translation>
    </message>
    <message>
        <source>JSON 解析错误: %1 (偏移 %2)</source>
        <translation>JSON 解析错误: %1 (偏移 %2)</translation>
    </message>
    <message>
        <source>JSON 根节点必须是对象</source>
        <translation>JSON 根节点必须是对象</translation>
    </message>
    <message>
        <source>&quot;groups&quot; is missing.</source>
        <translation>缺少 &quot;groups&quot;。</translation>
    </message>
    <message>
        <source>Group %1 is not an object with &quot;group-name&quot; and &quot;group-content&quot;.</source>
        <translation>第 %1 个分组不是含有 &quot;group-name&quot; 和 &quot;group-content&quot; 的对象。</translation>
    </message>
    <message>
        <source>Group %1, line %2 is not an object with &quot;time&quot;, &quot;hexMode&quot; and &quot;data&quot;.</source>
        <translation>第 %1 个分组的第 %2 行不是含有 &quot;time&quot;、&quot;hexMode&quot; 和 &quot;data&quot; 的对象。</translation>
    </message>
    <message>
        <source>The file holds more than %1 lines.</source>
        <translation>文件中的行数超过 %1。</translation>
    </message>
    <message>
        <source>无法写入文件: %1</source>
        <translation>无法写入文件: %1</translation>
    </message>
    <message>
        <source>写入文件时数据不完整</source>
        <translation>写入文件时数据不完整</translation>
    </message>
    <message>
        <source>%1 is not a file.</source>
        <translation>%1 不是文件。</translation>
    </message>
    <message>
        <source>Cannot copy %1 to %2: %3</source>
        <translation>无法将 %1 复制到 %2：%3</translation>
    </message>
    <message>
        <source>No free name for a copy of %1.</source>
        <translation>没有可用于 %1 副本的文件名。</translation>
    </message>
</context>
<context>
    <name>MultiLineGroup</name>
    <message>
        <source>Channel</source>
        <translation>通道</translation>
    </message>
    <message>
        <source>Tips</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>Are you sure you want to delete all record?</source>
        <translation>确定要删除所有记录吗？</translation>
    </message>
    <message>
        <source>Add Line</source>
        <translation>添加行</translation>
    </message>
    <message>
        <source>Insert Line</source>
        <translation>插入行</translation>
    </message>
    <message>
        <source>Clear Line</source>
        <translation>清空行</translation>
    </message>
    <message>
        <source>Delete Line</source>
        <translation>删除行</translation>
    </message>
    <message>
        <source>Delete All</source>
        <translation>全部删除</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Please select line!</source>
        <translation>请选择要发送的行！</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>Loop Send</source>
        <translation>循环发送</translation>
    </message>
</context>
<context>
    <name>MultiLineGroupManager</name>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Are you sure you want to delete [%1] group?</source>
        <translation>确定要删除 [%1] 分组吗？</translation>
    </message>
    <message>
        <source>The group name &quot;%1&quot; is used twice.</source>
        <translation>分组名称“%1”重复。</translation>
    </message>
    <message>
        <source>The multi-line groups in %1 could not be loaded (%2).
A copy of the file was kept as %3.</source>
        <translation>无法加载 %1 中的多行分组（%2）。
该文件的副本已保存为 %3。</translation>
    </message>
    <message>
        <source>The multi-line groups in %1 could not be loaded (%2), and no copy could be made (%3).
The file will not be written over.</source>
        <translation>无法加载 %1 中的多行分组（%2），也无法保存副本（%3）。
该文件不会被覆盖。</translation>
    </message>
    <message>
        <source>%1 could not be loaded and is kept as it is.</source>
        <translation>%1 无法加载，已保持原样。</translation>
    </message>
    <message>
        <source>Multi Line Manager</source>
        <translation>多行管理器</translation>
    </message>
    <message>
        <source>Group:</source>
        <translation>分组:</translation>
    </message>
    <message>
        <source>Add Group</source>
        <translation>添加分组</translation>
    </message>
    <message>
        <source>Delete Group</source>
        <translation>删除分组</translation>
    </message>
</context>
<context>
    <name>PortTyping</name>
    <message>
        <source>Type Into Port</source>
        <translation>键盘直通串口</translation>
    </message>
    <message>
        <source>TYPING INTO THE PORT: keys in the log go to the device. Ctrl+Shift+K leaves.</source>
        <translation>键盘直通串口中：在日志区按下的键直接发往设备。按 Ctrl+Shift+K 退出。</translation>
    </message>
</context>
<context>
    <name>Protocol</name>
    <message>
        <source>Transfer stalled: no progress for %1 s</source>
        <translation>传输停滞: %1 秒内没有任何进展</translation>
    </message>
</context>
<context>
    <name>ProtocolFileReader</name>
    <message>
        <source>Cannot open file: %1</source>
        <translation>无法打开文件：%1</translation>
    </message>
    <message>
        <source>JSON error: %1</source>
        <translation>JSON 错误：%1</translation>
    </message>
    <message>
        <source>Protocol name is required</source>
        <translation>必须填写协议名称</translation>
    </message>
    <message>
        <source>Protocol has no fields defined</source>
        <translation>协议未定义任何字段</translation>
    </message>
    <message>
        <source>Field &apos;%1&apos;: &apos;over&apos; covers too many fields</source>
        <translation>字段“%1”：“over”覆盖的字段过多</translation>
    </message>
    <message>
        <source>Duplicate field name: %1</source>
        <translation>字段名重复：%1</translation>
    </message>
    <message>
        <source>Unknown CRC algorithm: %1</source>
        <translation>未知的校验算法：%1</translation>
    </message>
    <message>
        <source>Field &apos;%1&apos; references unknown field &apos;%2&apos;</source>
        <translation>字段“%1”引用了未知字段“%2”</translation>
    </message>
</context>
<context>
    <name>RxSettingWidget</name>
    <message>
        <source>Rx Settings</source>
        <translation>接收设置</translation>
    </message>
    <message>
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>Bytes per line</source>
        <translation>每行字节数</translation>
    </message>
    <message>
        <source>Auto Wrap</source>
        <translation>自动换行</translation>
    </message>
    <message>
        <source>Show Send</source>
        <translation>显示发送</translation>
    </message>
    <message>
        <source>Show Timestamp</source>
        <translation>显示时间戳</translation>
    </message>
    <message>
        <source>Show Log</source>
        <translation>显示日志</translation>
    </message>
    <message>
        <source>Output Log To File</source>
        <translation>日志输出到文件</translation>
    </message>
    <message>
        <source>通用设置</source>
        <translation>通用设置</translation>
    </message>
    <message>
        <source>Timestamp format</source>
        <translation>时间戳格式</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>自动</translation>
    </message>
    <message>
        <source>Hex Dump</source>
        <translation>十六进制转储</translation>
    </message>
    <message>
        <source>Hex lines with an offset and a character column (hexdump -C layout)</source>
        <translation>十六进制行带偏移列和字符列（hexdump -C 格式）</translation>
    </message>
</context>
<context>
    <name>SendPanel</name>
    <message>
        <source>Copy</source>
        <translation>复制</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>粘贴</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Hex Sample:11 22 33 44... or 1122334455...</source>
        <translation>Hex 示例：11 22 33 44... 或 1122334455...</translation>
    </message>
</context>
<context>
    <name>SendPath</name>
    <message>
        <source>Not hex: %1
Type bytes as pairs of hex digits, for example 11 22 33 or 112233.</source>
        <translation>不是十六进制：%1
请按两位十六进制数字输入字节，例如 11 22 33 或 112233。</translation>
    </message>
</context>
<context>
    <name>SerialParamWidget</name>
    <message>
        <source>Custom</source>
        <translation>自定义</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>please instert a device</source>
        <translation>请插入设备</translation>
    </message>
    <message>
        <source>Failed to open serial port: %1</source>
        <translation>打开串口失败：%1</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭串口</translation>
    </message>
    <message>
        <source>Serial port write error: %1</source>
        <translation>串口写入错误：%1</translation>
    </message>
    <message>
        <source>Serial port error [%1]: %2</source>
        <translation>串口错误 [%1]：%2</translation>
    </message>
    <message>
        <source>Reconnect Counter: %1</source>
        <translation>重连次数：%1</translation>
    </message>
    <message>
        <source>Auto-reconnect failed after %1 attempts. Please check the device and connect manually.</source>
        <translation>自动重连 %1 次后失败。请检查设备后手动连接。</translation>
    </message>
    <message>
        <source>Port Settings</source>
        <translation>串口设置</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>端口：</translation>
    </message>
    <message>
        <source>Baudrate:</source>
        <translation>波特率：</translation>
    </message>
    <message>
        <source>Data Bits:</source>
        <translation>数据位：</translation>
    </message>
    <message>
        <source>Parity:</source>
        <translation>校验位：</translation>
    </message>
    <message>
        <source>Stop Bits:</source>
        <translation>停止位：</translation>
    </message>
    <message>
        <source>Flow Ctrl:</source>
        <translation>流控：</translation>
    </message>
    <message>
        <source>Open/Close Serial port</source>
        <translation>打开/关闭串口</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>打开串口</translation>
    </message>
    <message>
        <source>Modem Lines</source>
        <translation>调制解调器信号线</translation>
    </message>
    <message>
        <source>Data Terminal Ready, kept across reconnects</source>
        <translation>数据终端就绪 (DTR)，重连后保持</translation>
    </message>
    <message>
        <source>Request To Send, kept across reconnects</source>
        <translation>请求发送 (RTS)，重连后保持</translation>
    </message>
    <message>
        <source>Pulse DTR/RTS</source>
        <translation>脉冲 DTR/RTS</translation>
    </message>
    <message>
        <source>Reset the board: DTR off and RTS on for the pulse length (Ctrl+Shift+R)</source>
        <translation>复位开发板：在脉冲时长内 DTR 断开、RTS 有效 (Ctrl+Shift+R)</translation>
    </message>
    <message>
        <source>Pulse length</source>
        <translation>脉冲时长</translation>
    </message>
    <message>
        <source>Send Break</source>
        <translation>发送 Break</translation>
    </message>
    <message>
        <source>Hold the line in break for the break length (Ctrl+Shift+B)</source>
        <translation>在 Break 时长内保持线路中断状态 (Ctrl+Shift+B)</translation>
    </message>
    <message>
        <source>Break length</source>
        <translation>Break 时长</translation>
    </message>
    <message>
        <source>Clear To Send</source>
        <translation>清除发送 (CTS)</translation>
    </message>
    <message>
        <source>Data Set Ready</source>
        <translation>数据设备就绪 (DSR)</translation>
    </message>
    <message>
        <source>Data Carrier Detect</source>
        <translation>载波检测 (DCD)</translation>
    </message>
    <message>
        <source>Ring Indicator</source>
        <translation>振铃指示 (RI)</translation>
    </message>
</context>
<context>
    <name>SerialPortManager</name>
    <message>
        <source>Your user may not use this serial port. Join the &quot;dialout&quot; group with &quot;sudo usermod -aG dialout $USER&quot;, then log out and in again.</source>
        <translation>当前用户无权使用此串口。请执行 &quot;sudo usermod -aG dialout $USER&quot; 加入 &quot;dialout&quot; 组，然后注销并重新登录。</translation>
    </message>
</context>
<context>
    <name>Session</name>
    <message>
        <source>Disconnect</source>
        <translation>未连接</translation>
    </message>
    <message>
        <source>Serial port not found: %1</source>
        <translation>未找到串口：%1</translation>
    </message>
    <message>
        <source>Open log file failed!
</source>
        <translation>打开日志文件失败！
</translation>
    </message>
    <message>
        <source>Please open serial port!</source>
        <translation>请先打开串口！</translation>
    </message>
    <message>
        <source>Log file write failed: %1</source>
        <translation>Log 文件写入失败：%1</translation>
    </message>
    <message>
        <source>Lua Error: </source>
        <translation>Lua 错误：</translation>
    </message>
    <message>
        <source>Device went away at %1, reconnecting...</source>
        <translation>设备已于 %1 断开，正在重连...</translation>
    </message>
    <message>
        <source>Device is back at %1: %2</source>
        <translation>设备已于 %1 恢复：%2</translation>
    </message>
    <message>
        <source>Not sent: the port is reconnecting</source>
        <translation>未发送：串口正在重连</translation>
    </message>
</context>
<context>
    <name>SessionLayout</name>
    <message>
        <source>Multi Line Send</source>
        <translation>多行发送</translation>
    </message>
    <message>
        <source>File Transmision</source>
        <translation>文件传输</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>波形图</translation>
    </message>
    <message>
        <source>Lua Script</source>
        <translation>Lua 脚本</translation>
    </message>
    <message>
        <source>Frame Assembler</source>
        <translation>帧组装器</translation>
    </message>
    <message>
        <source>Waveform Data Generator</source>
        <translation>波形数据生成器</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>设置</translation>
    </message>
</context>
<context>
    <name>SettingWidget</name>
    <message>
        <source>选择Log保存文件夹</source>
        <translation>选择日志保存文件夹</translation>
    </message>
    <message>
        <source>通用设置</source>
        <translation>通用设置</translation>
    </message>
    <message>
        <source>Output Log Configuration:</source>
        <translation>日志输出配置：</translation>
    </message>
    <message>
        <source>Log保存路径:</source>
        <translation>日志保存路径：</translation>
    </message>
    <message>
        <source>更改目录</source>
        <translation>更改目录</translation>
    </message>
    <message>
        <source>Log文件名:</source>
        <translation>日志文件名：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>ShortcutInfoWidget</name>
    <message>
        <source>Start / stop waveform recording (waveform panel visible)</source>
        <translation>开始/停止波形记录（波形面板可见时）</translation>
    </message>
    <message>
        <source>Waveform: create cursor pair</source>
        <translation>波形：创建游标对</translation>
    </message>
    <message>
        <source>Waveform: region selection mode</source>
        <translation>波形：区域选择模式</translation>
    </message>
    <message>
        <source>Waveform: cancel selection / exit region mode / exit cursor creation</source>
        <translation>波形：取消选择/退出区域模式/退出游标创建</translation>
    </message>
    <message>
        <source>Waveform: zoom Y axis of the channel under mouse</source>
        <translation>波形：缩放鼠标所在通道的 Y 轴</translation>
    </message>
    <message>
        <source>Send input box: copy</source>
        <translation>发送输入框：复制</translation>
    </message>
    <message>
        <source>Send input box: paste</source>
        <translation>发送输入框：粘贴</translation>
    </message>
    <message>
        <source>Lua Code Editor: save</source>
        <translation>Lua 代码编辑器：保存</translation>
    </message>
    <message>
        <source>Keyboard Shortcuts</source>
        <translation>键盘快捷键</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>按键</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>说明</translation>
    </message>
    <message>
        <source>Send input box: send</source>
        <translation>发送输入框：发送</translation>
    </message>
    <message>
        <source>Send input box: new line</source>
        <translation>发送输入框：换行</translation>
    </message>
    <message>
        <source>Open / close the serial port</source>
        <translation>打开 / 关闭串口</translation>
    </message>
    <message>
        <source>Port box: open the typed port</source>
        <translation>端口框：打开输入的端口</translation>
    </message>
    <message>
        <source>Send a break</source>
        <translation>发送 Break</translation>
    </message>
    <message>
        <source>Pulse DTR/RTS (reset the board)</source>
        <translation>脉冲 DTR/RTS (复位开发板)</translation>
    </message>
    <message>
        <source>Log: enter / leave type-into-port mode</source>
        <translation>日志区：进入 / 退出键盘直通串口模式</translation>
    </message>
    <message>
        <source>Type-into-port mode: sends 0x03; every key goes to the device, arrows as escape sequences, Enter as the Tx line ending</source>
        <translation>键盘直通串口模式：发送 0x03；所有按键都发往设备，方向键为转义序列，回车为发送设置中的换行符</translation>
    </message>
    <message>
        <source>Log: search</source>
        <translation>日志：搜索</translation>
    </message>
    <message>
        <source>Log search: next match</source>
        <translation>日志搜索：下一个匹配</translation>
    </message>
    <message>
        <source>Log search: previous match</source>
        <translation>日志搜索：上一个匹配</translation>
    </message>
    <message>
        <source>Log search: close the search bar</source>
        <translation>日志搜索：关闭搜索栏</translation>
    </message>
</context>
<context>
    <name>SingleLineItem</name>
    <message>
        <source>Channel</source>
        <translation>通道</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>发送</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>Data to send</source>
        <translation>要发送的数据</translation>
    </message>
    <message>
        <source>Take part in loop sending</source>
        <translation>参与循环发送</translation>
    </message>
    <message>
        <source>%1 characters: too long to edit here; it is sent and saved whole.</source>
        <translation>%1 个字符：太长，无法在此编辑；发送和保存时保持完整。</translation>
    </message>
</context>
<context>
    <name>SkinManager</name>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Style File load failed...</source>
        <translation>样式文件加载失败...</translation>
    </message>
</context>
<context>
    <name>TimeAxis</name>
    <message>
        <source> ns</source>
        <translation> ns</translation>
    </message>
    <message>
        <source> μs</source>
        <translation> μs</translation>
    </message>
    <message>
        <source> ms</source>
        <translation> ms</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source> ks</source>
        <translation> ks</translation>
    </message>
    <message>
        <source>ns</source>
        <translation>ns</translation>
    </message>
    <message>
        <source>%1%2%3</source>
        <translation>%1%2%3</translation>
    </message>
    <message>
        <source>%1s</source>
        <translation>%1s</translation>
    </message>
    <message>
        <source>:%1ms</source>
        <translation>:%1ms</translation>
    </message>
    <message>
        <source>:%1us</source>
        <translation>:%1us</translation>
    </message>
    <message>
        <source>%1%2 ms</source>
        <translation>%1%2 ms</translation>
    </message>
    <message>
        <source> : %1 us</source>
        <translation> : %1 us</translation>
    </message>
    <message>
        <source>%1%2 s : %3 ms</source>
        <translation>%1%2 s : %3 ms</translation>
    </message>
    <message>
        <source>%1%2 s</source>
        <translation>%1%2 s</translation>
    </message>
    <message>
        <source>%1%2 s : %3 ms : %4 us</source>
        <translation>%1%2 s : %3 ms : %4 us</translation>
    </message>
</context>
<context>
    <name>TimingItem</name>
    <message>
        <source>T1 = </source>
        <translation>T1 = </translation>
    </message>
    <message>
        <source>T2 = </source>
        <translation>T2 = </translation>
    </message>
</context>
<context>
    <name>TxSettingWidget</name>
    <message>
        <source>Tx Settings</source>
        <translation>发送设置</translation>
    </message>
    <message>
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
    <message>
        <source>Send New Line</source>
        <translation>发送换行</translation>
    </message>
    <message>
        <source>Repeat Send</source>
        <translation>定时发送</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>毫秒</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <source>Would you like to download the update now?&lt;br /&gt;This is a mandatory update, exiting now will close the application.</source>
        <translation>是否立即下载更新？&lt;br /&gt;这是强制更新，现在退出将关闭程序。</translation>
    </message>
    <message>
        <source>Would you like to download the update now?</source>
        <translation>是否立即下载更新？</translation>
    </message>
    <message>
        <source>&lt;strong&gt;Change log:&lt;/strong&gt;&lt;br/&gt;%1</source>
        <translation>&lt;strong&gt;更新日志：&lt;/strong&gt;&lt;br/&gt;%1</translation>
    </message>
    <message>
        <source>Version %1 of %2 has been released!</source>
        <translation>%2 的 %1 版本已发布！</translation>
    </message>
    <message>
        <source>No updates are available for the moment</source>
        <translation>目前没有可用的更新</translation>
    </message>
    <message>
        <source>Congratulations! You are running the latest version of %1</source>
        <translation>恭喜！您正在使用最新版本的 %1</translation>
    </message>
</context>
<context>
    <name>VersionInfoWidget</name>
    <message>
        <source>&lt;span style=&apos;font-weight:bold;&apos;&gt;Name :&lt;/span&gt; CVN</source>
        <translation>&lt;span style=&apos;font-weight:bold;&apos;&gt;名称：&lt;/span&gt; CVN</translation>
    </message>
    <message>
        <source>&lt;span style=&apos;font-weight:bold;&apos;&gt;Version :&lt;/span&gt; v%1</source>
        <translation>&lt;span style=&apos;font-weight:bold;&apos;&gt;版本：&lt;/span&gt; v%1</translation>
    </message>
    <message>
        <source>Check for Updates</source>
        <translation>检查更新</translation>
    </message>
</context>
<context>
    <name>WaveFormInfoItem</name>
    <message>
        <source>Period(us):</source>
        <translation>周期(us)：</translation>
    </message>
    <message>
        <source>Amplitude:</source>
        <translation>幅值：</translation>
    </message>
    <message>
        <source>OffsetY:</source>
        <translation>Y偏移：</translation>
    </message>
    <message>
        <source>Decay Contant:</source>
        <translation>衰减常数：</translation>
    </message>
</context>
<context>
    <name>WaveformCsvExporter</name>
    <message>
        <source>Can&apos;t open file %1!</source>
        <translation>无法打开文件 %1！</translation>
    </message>
    <message>
        <source>Failed to write file:
%1</source>
        <translation>写入文件失败：
%1</translation>
    </message>
</context>
<context>
    <name>WaveformCsvParser</name>
    <message>
        <source>The file is empty.</source>
        <translation>文件为空。</translation>
    </message>
    <message>
        <source>The first line must name the time column and at least one channel.</source>
        <translation>第一行必须包含时间列和至少一个通道。</translation>
    </message>
    <message>
        <source>The first column must be a time column such as &quot;Timestamp(ns)&quot; or &quot;Time(ms)&quot;.</source>
        <translation>第一列必须是时间列，例如 &quot;Timestamp(ns)&quot; 或 &quot;Time(ms)&quot;。</translation>
    </message>
    <message>
        <source>Unknown time unit &quot;%1&quot; in the first column: use ns, us, ms or s.</source>
        <translation>第一列的时间单位 &quot;%1&quot; 无法识别：请使用 ns、us、ms 或 s。</translation>
    </message>
    <message>
        <source>Failed to open file:
%1</source>
        <translation>打开文件失败：
%1</translation>
    </message>
    <message>
        <source>Failed to read file:
%1
%2</source>
        <translation>读取文件失败：
%1
%2</translation>
    </message>
</context>
<context>
    <name>WaveformDataGeneratorWidget</name>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Please select waveform!</source>
        <translation>请选择波形！</translation>
    </message>
    <message>
        <source>Waveform Data Generator</source>
        <translation>波形数据生成器</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>Prefix:</source>
        <translation>前缀：</translation>
    </message>
    <message>
        <source>Suffix:</source>
        <translation>后缀：</translation>
    </message>
</context>
<context>
    <name>WaveformGenerator</name>
    <message>
        <source>The period must be greater than 0.</source>
        <translation>周期必须大于 0。</translation>
    </message>
    <message>
        <source>The decay constant must be greater than 0.</source>
        <translation>衰减常数必须大于 0。</translation>
    </message>
    <message>
        <source>Square</source>
        <translation>方波</translation>
    </message>
    <message>
        <source>ECG</source>
        <translation>心电图</translation>
    </message>
    <message>
        <source>Sin</source>
        <translation>正弦</translation>
    </message>
    <message>
        <source>Cos</source>
        <translation>余弦</translation>
    </message>
    <message>
        <source>Sawtooth</source>
        <translation>锯齿波</translation>
    </message>
    <message>
        <source>Triangle</source>
        <translation>三角波</translation>
    </message>
    <message>
        <source>PWM</source>
        <translation>PWM</translation>
    </message>
    <message>
        <source>Sin+Noise</source>
        <translation>正弦+噪声</translation>
    </message>
    <message>
        <source>Sin Decay</source>
        <translation>衰减正弦</translation>
    </message>
    <message>
        <source>Noise</source>
        <translation>噪声</translation>
    </message>
</context>
<context>
    <name>WaveformManagerWidget</name>
    <message>
        <source>Waveform Parameter Settings</source>
        <translation>波形参数设置</translation>
    </message>
    <message>
        <source>Enable Waveform</source>
        <translation>启用波形</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>通道</translation>
    </message>
    <message>
        <source>All</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>清除</translation>
    </message>
    <message>
        <source>Sample Rate (sample/sec):</source>
        <translation>采样率 (点/秒):</translation>
    </message>
    <message>
        <source>Timing Markers</source>
        <translation>时间标记</translation>
    </message>
</context>
<context>
    <name>WaveformPane</name>
    <message>
        <source>Waveform</source>
        <translation>波形</translation>
    </message>
    <message>
        <source>Channel %1</source>
        <translation>通道 %1</translation>
    </message>
</context>
<context>
    <name>XMODEM</name>
    <message>
        <source>Cannot open file: %1</source>
        <translation>无法打开文件: %1</translation>
    </message>
    <message>
        <source>Waiting for receiver…</source>
        <translation>等待接收方…</translation>
    </message>
    <message>
        <source>Transfer cancelled</source>
        <translation>传输已取消</translation>
    </message>
    <message>
        <source>Transfer cancelled by user</source>
        <translation>用户取消了传输</translation>
    </message>
    <message>
        <source>Receiver ready (CRC mode), sending data…</source>
        <translation>接收方就绪 (CRC 模式)，正在发送数据…</translation>
    </message>
    <message>
        <source>Too many retries, transfer aborted</source>
        <translation>重试次数过多，传输中止</translation>
    </message>
    <message>
        <source>Maximum retries exceeded</source>
        <translation>超过最大重试次数</translation>
    </message>
    <message>
        <source>NAK received, retrying block %1 (%2/%3)</source>
        <translation>收到 NAK，重发数据块 %1 (%2/%3)</translation>
    </message>
    <message>
        <source>Transfer complete</source>
        <translation>传输完成</translation>
    </message>
    <message>
        <source>File read error: %1</source>
        <translation>读取文件出错: %1</translation>
    </message>
    <message>
        <source>File read returned more data than requested</source>
        <translation>读取文件返回的数据多于请求的长度</translation>
    </message>
    <message>
        <source>Sending block %1 (%2 bytes)</source>
        <translation>正在发送数据块 %1 (%2 字节)</translation>
    </message>
    <message>
        <source>Sending EOT…</source>
        <translation>正在发送 EOT…</translation>
    </message>
    <message>
        <source>Failed to seek in file</source>
        <translation>文件定位失败</translation>
    </message>
    <message>
        <source>Transfer timed out</source>
        <translation>传输超时</translation>
    </message>
    <message>
        <source>Timeout: no response from receiver</source>
        <translation>Timeout: 接收方无响应</translation>
    </message>
    <message>
        <source>Timeout, retrying (%1/%2)…</source>
        <translation>Timeout 超时，重试 (%1/%2)…</translation>
    </message>
    <message>
        <source>Transfer cancelled by receiver</source>
        <translation>接收方取消了传输</translation>
    </message>
    <message>
        <source>Receiver cancelled the transfer</source>
        <translation>接收方取消了传输</translation>
    </message>
    <message>
        <source>Receiver ready (checksum mode), sending data…</source>
        <translation>接收方就绪 (校验和模式)，正在发送数据…</translation>
    </message>
</context>
<context>
    <name>YMODEM</name>
    <message>
        <source>Cannot open file: %1</source>
        <translation>无法打开文件: %1</translation>
    </message>
    <message>
        <source>Waiting for receiver…</source>
        <translation>等待接收方…</translation>
    </message>
    <message>
        <source>Transfer complete</source>
        <translation>传输完成</translation>
    </message>
    <message>
        <source>Transfer timed out</source>
        <translation>传输超时</translation>
    </message>
    <message>
        <source>Timeout: no response from receiver</source>
        <translation>Timeout: 接收方无响应</translation>
    </message>
    <message>
        <source>Too many retries, transfer aborted</source>
        <translation>重试次数过多，传输中止</translation>
    </message>
    <message>
        <source>Maximum retries exceeded</source>
        <translation>超过最大重试次数</translation>
    </message>
    <message>
        <source>Timeout, retrying (%1/%2)…</source>
        <translation>Timeout 超时，重试 (%1/%2)…</translation>
    </message>
    <message>
        <source>NAK received, retrying block %1</source>
        <translation>收到 NAK，重发数据块 %1</translation>
    </message>
    <message>
        <source>Sending file header: %1 (%2 bytes)</source>
        <translation>正在发送文件头: %1 (%2 字节)</translation>
    </message>
    <message>
        <source>Sending block %1 (%2/%3 bytes)</source>
        <translation>正在发送数据块 %1 (%2/%3 字节)</translation>
    </message>
    <message>
        <source>Sending first EOT…</source>
        <translation>正在发送第一个 EOT…</translation>
    </message>
    <message>
        <source>Sending second EOT…</source>
        <translation>正在发送第二个 EOT…</translation>
    </message>
    <message>
        <source>Sending end-of-batch marker…</source>
        <translation>正在发送批次结束标记…</translation>
    </message>
</context>
<context>
    <name>ZMODEM</name>
    <message>
        <source>Cannot open file: %1</source>
        <translation>无法打开文件: %1</translation>
    </message>
    <message>
        <source>File is too large for ZMODEM (%1 bytes, limit 4 GiB).</source>
        <translation>文件过大，ZMODEM 无法传输 (%1 字节，上限 4 GiB)。</translation>
    </message>
    <message>
        <source>Transfer cancelled</source>
        <translation>传输已取消</translation>
    </message>
    <message>
        <source>Transfer cancelled by user</source>
        <translation>用户取消了传输</translation>
    </message>
    <message>
        <source>Sending ZRQINIT, waiting for receiver…</source>
        <translation>正在发送 ZRQINIT，等待接收方…</translation>
    </message>
    <message>
        <source>Sending file info: %1 (%2 bytes)</source>
        <translation>正在发送文件信息: %1 (%2 字节)</translation>
    </message>
    <message>
        <source>Failed to seek to offset %1</source>
        <translation>无法定位到偏移 %1</translation>
    </message>
    <message>
        <source>File read error at offset %1: %2</source>
        <translation>在偏移 %1 处读取文件出错: %2</translation>
    </message>
    <message>
        <source>File read returned more data than requested</source>
        <translation>读取文件返回的数据多于请求的长度</translation>
    </message>
    <message>
        <source>File ended early at offset %1 (expected %2 bytes)</source>
        <translation>文件在偏移 %1 处提前结束 (应为 %2 字节)</translation>
    </message>
    <message>
        <source>File data sent, waiting for confirmation…</source>
        <translation>文件数据已发送，等待确认…</translation>
    </message>
    <message>
        <source>Sending ZFIN…</source>
        <translation>正在发送 ZFIN…</translation>
    </message>
    <message>
        <source>Timeout, retrying (%1/%2)…</source>
        <translation>Timeout 超时，重试 (%1/%2)…</translation>
    </message>
    <message>
        <source>Transfer timed out</source>
        <translation>传输超时</translation>
    </message>
    <message>
        <source>Timeout: no response from receiver</source>
        <translation>Timeout: 接收方无响应</translation>
    </message>
    <message>
        <source>Hex header CRC mismatch, dropping frame</source>
        <translation>十六进制帧头 CRC 不符，丢弃该帧</translation>
    </message>
    <message>
        <source>Binary header CRC mismatch, dropping frame</source>
        <translation>二进制帧头 CRC 不符，丢弃该帧</translation>
    </message>
    <message>
        <source>Receiver ready, sending file info…</source>
        <translation>接收方就绪，正在发送文件信息…</translation>
    </message>
    <message>
        <source>Receiver requests data from offset %1</source>
        <translation>接收方请求从偏移 %1 开始发送</translation>
    </message>
    <message>
        <source>Receiver skipped the file</source>
        <translation>接收方跳过了该文件</translation>
    </message>
    <message>
        <source>NAK received, retrying (%1/%2)…</source>
        <translation>收到 NAK，重试 (%1/%2)…</translation>
    </message>
    <message>
        <source>Too many errors, transfer aborted</source>
        <translation>错误过多，传输中止</translation>
    </message>
    <message>
        <source>Maximum retries exceeded</source>
        <translation>超过最大重试次数</translation>
    </message>
    <message>
        <source>Transfer cancelled by receiver</source>
        <translation>接收方取消了传输</translation>
    </message>
    <message>
        <source>Receiver cancelled the transfer</source>
        <translation>接收方取消了传输</translation>
    </message>
    <message>
        <source>Transfer complete</source>
        <translation>传输完成</translation>
    </message>
    <message>
        <source>Receiver reported a file error</source>
        <translation>接收方报告文件错误</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Simulates a small serial device on a pseudo-terminal published at a stable path. Open that path with a serial terminal and type help for its commands. Ctrl-C removes the path and exits.</source>
        <translation>在伪终端上模拟一个小型串口设备，并以固定路径发布。用串口终端打开该路径，输入 help 查看命令。按 Ctrl-C 删除该路径并退出。</translation>
    </message>
    <message>
        <source>Publish the line at &lt;path&gt; (default %1).</source>
        <translation>在 &lt;path&gt; 发布线路（默认 %1）。</translation>
    </message>
    <message>
        <source>Wave frames per second, %1..%2 (default %3).</source>
        <translation>每秒波形帧数，%1..%2（默认 %3）。</translation>
    </message>
    <message>
        <source>Stream wave frames from the start.</source>
        <translation>启动后立即发送波形帧。</translation>
    </message>
    <message>
        <source>No periodic log lines.</source>
        <translation>不输出周期性日志行。</translation>
    </message>
    <message>
        <source>Store received files in &lt;dir&gt; (default: current directory).</source>
        <translation>将接收的文件保存到 &lt;dir&gt;（默认：当前目录）。</translation>
    </message>
    <message>
        <source>invalid --rate: %1</source>
        <translation>无效的 --rate：%1</translation>
    </message>
    <message>
        <source>--path must not be empty</source>
        <translation>--path 不能为空</translation>
    </message>
    <message>
        <source>signal %1: removing %2 and exiting</source>
        <translation>收到信号 %1：删除 %2 并退出</translation>
    </message>
    <message>
        <source>cannot start the demo device: %1</source>
        <translation>无法启动演示设备：%1</translation>
    </message>
    <message>
        <source>demo device ready at %1 (%2)</source>
        <translation>演示设备已就绪：%1（%2）</translation>
    </message>
</context>
</TS>

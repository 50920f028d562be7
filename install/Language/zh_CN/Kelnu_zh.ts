<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN">
<context>
    <name>AllCameras</name>
    <message>
        <source>%1: not answering</source>
        <translation>%1：无响应</translation>
    </message>
    <message>
        <source>no capture mode %1</source>
        <translation>没有拍摄模式 %1</translation>
    </message>
    <message>
        <source>no profile for its model</source>
        <translation>其型号没有配置文件</translation>
    </message>
    <message>
        <source>no %1 %2</source>
        <translation>没有 %1 %2</translation>
    </message>
    <message>
        <source>no setting %1</source>
        <translation>没有设置 %1</translation>
    </message>
    <message>
        <source>%1 sent to no camera.</source>
        <translation>%1 未发送到任何相机。</translation>
    </message>
    <message>
        <source>%1 sent to %2.</source>
        <translation>%1 已发送到 %2。</translation>
    </message>
    <message>
        <source>Left alone: %1.</source>
        <translation>未发送：%1。</translation>
    </message>
</context>
<context>
    <name>BluetoothPanel</name>
    <message>
        <source>Bluetooth</source>
        <translation>蓝牙</translation>
    </message>
    <message>
        <source>Find cameras over Bluetooth.</source>
        <translation>通过蓝牙查找相机。</translation>
    </message>
    <message>
        <source>Cameras found over Bluetooth.</source>
        <translation>通过蓝牙找到的相机。</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>连接</translation>
    </message>
    <message>
        <source>Connect the chosen camera and join its Wi-Fi.</source>
        <translation>连接所选相机并加入其 Wi-Fi 网络。</translation>
    </message>
    <message>
        <source>Home network…</source>
        <translation>家庭网络…</translation>
    </message>
    <message>
        <source>Put the camera connected over Bluetooth on your home network (HERO12 and later).</source>
        <translation>将通过蓝牙连接的相机加入您的家庭网络（HERO12 及更新型号）。</translation>
    </message>
    <message>
        <source>On the home network at %1</source>
        <translation>在家庭网络中，地址 %1</translation>
    </message>
    <message>
        <source>the camera&apos;s address</source>
        <translation>相机的地址</translation>
    </message>
    <message>
        <source>The camera did not tell its Wi-Fi name: it is not paired with this computer.&lt;br&gt;Pair it once: put the camera in pairing mode (Connections &amp;gt; Connect Device), pair it in this computer&apos;s Bluetooth settings or with bluetoothctl (pair %1, then trust %1), then connect again.</source>
        <translation>相机没有提供其 Wi-Fi 名称：它尚未与这台电脑配对。&lt;br&gt;请先配对一次：让相机进入配对模式（连接 &amp;gt; 连接设备），在这台电脑的蓝牙设置中或用 bluetoothctl 配对（pair %1，然后 trust %1），然后重新连接。</translation>
    </message>
</context>
<context>
    <name>Camera</name>
    <message>
        <source>Home</source>
        <translation>家庭网络</translation>
    </message>
    <message>
        <source>offline</source>
        <translation>离线</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>no card</source>
        <translation>无存储卡</translation>
    </message>
    <message>
        <source>%1 GB free</source>
        <translation>剩余 %1 GB</translation>
    </message>
    <message>
        <source>REC</source>
        <translation>录制中</translation>
    </message>
    <message>
        <source>online</source>
        <translation>在线</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>Wi-Fi</source>
        <translation>Wi-Fi</translation>
    </message>
    <message>
        <source>The camera</source>
        <translation>相机</translation>
    </message>
</context>
<context>
    <name>CameraClock</name>
    <message>
        <source>no request for its model</source>
        <translation>其型号没有对应的请求</translation>
    </message>
    <message>
        <source>HTTP %1</source>
        <translation>HTTP %1</translation>
    </message>
    <message>
        <source>Clock of %1 set to this PC&apos;s time.</source>
        <translation>%1 的时钟已设为本机时间。</translation>
    </message>
    <message>
        <source>Clock of %1 set to this PC&apos;s time; it reads %2 s from it.</source>
        <translation>%1 的时钟已设为本机时间；与本机相差 %2 秒。</translation>
    </message>
    <message>
        <source>The clock of %1 cannot be set (%2): its files carry the time it keeps.</source>
        <translation>无法设置 %1 的时钟（%2）：其文件使用相机自身的时间。</translation>
    </message>
</context>
<context>
    <name>CameraFacts</name>
    <message>
        <source>Model</source>
        <translation>型号</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>固件</translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation>序列号</translation>
    </message>
    <message>
        <source>Reached by</source>
        <translation>连接方式</translation>
    </message>
    <message>
        <source>Clock</source>
        <translation>时钟</translation>
    </message>
    <message>
        <source>Open GoPro version</source>
        <translation>Open GoPro 版本</translation>
    </message>
    <message>
        <source>not known</source>
        <translation>未知</translation>
    </message>
    <message>
        <source>not told</source>
        <translation>相机未告知</translation>
    </message>
    <message>
        <source>%1 (remembered; not told this time)</source>
        <translation>%1（记住的；本次相机未告知）</translation>
    </message>
    <message>
        <source>HERO%1 (guessed; not told by the camera)</source>
        <translation>HERO%1（推测的；相机未告知）</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>Home network</source>
        <translation>家庭网络</translation>
    </message>
    <message>
        <source>Wi-Fi</source>
        <translation>Wi-Fi</translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <source>%1 (not answering)</source>
        <translation>%1（无应答）</translation>
    </message>
    <message>
        <source>not set</source>
        <translation>未设置</translation>
    </message>
    <message>
        <source>not set (Set Clock is off)</source>
        <translation>未设置（“设置时钟”已关闭）</translation>
    </message>
    <message>
        <source>not set (%1)</source>
        <translation>未设置（%1）</translation>
    </message>
    <message>
        <source>set to this PC&apos;s time; reads %1 s from it</source>
        <translation>已设为本电脑的时间；读回相差 %1 秒</translation>
    </message>
    <message>
        <source>set to this PC&apos;s time; not read (the model does not tell it)</source>
        <translation>已设为本电脑的时间；未读回（该型号不提供）</translation>
    </message>
    <message>
        <source>set to this PC&apos;s time; not read</source>
        <translation>已设为本电脑的时间；未读回</translation>
    </message>
    <message>
        <source>not offered</source>
        <translation>不提供</translation>
    </message>
    <message>
        <source>asking…</source>
        <translation>正在询问…</translation>
    </message>
    <message>
        <source>no answer (%1)</source>
        <translation>无应答（%1）</translation>
    </message>
    <message>
        <source>asked once the camera answers</source>
        <translation>相机应答后再询问</translation>
    </message>
    <message>
        <source>HTTP %1</source>
        <translation>HTTP %1</translation>
    </message>
    <message>
        <source>none in the answer</source>
        <translation>应答中没有</translation>
    </message>
</context>
<context>
    <name>CameraHttpReply</name>
    <message>
        <source>answer line longer than %1 KB</source>
        <translation>回答中的一行超过 %1 KB</translation>
    </message>
    <message>
        <source>malformed answer body</source>
        <translation>回答正文格式错误</translation>
    </message>
    <message>
        <source>answer without an HTTP status line</source>
        <translation>回答没有 HTTP 状态行</translation>
    </message>
    <message>
        <source>malformed answer header</source>
        <translation>回答头格式错误</translation>
    </message>
    <message>
        <source>the camera closed the connection before the whole answer</source>
        <translation>相机在回答完整之前关闭了连接</translation>
    </message>
    <message>
        <source>the camera answered HTTP %1 %2</source>
        <translation>相机回答 HTTP %1 %2</translation>
    </message>
    <message>
        <source>Operation canceled</source>
        <translation>操作已取消</translation>
    </message>
</context>
<context>
    <name>CameraInfoDialog</name>
    <message>
        <source>Camera information: %1</source>
        <translation>相机信息：%1</translation>
    </message>
</context>
<context>
    <name>CameraLink</name>
    <message>
        <source>HTTP %1</source>
        <translation>HTTP %1</translation>
    </message>
</context>
<context>
    <name>CameraNetworkManager</name>
    <message>
        <source>redirected (HTTP %1), not followed</source>
        <translation>被重定向（HTTP %1），未跟随</translation>
    </message>
    <message>
        <source>redirected to %1 (HTTP %2), not followed</source>
        <translation>被重定向到 %1（HTTP %2），未跟随</translation>
    </message>
</context>
<context>
    <name>CameraOffload</name>
    <message>
        <source>%1 · Downloading %2 of %3: %4</source>
        <translation>%1 · 正在下载第 %2 个，共 %3 个：%4</translation>
    </message>
    <message>
        <source>stopped before anything was downloaded.</source>
        <translation>已停止，尚未下载任何文件。</translation>
    </message>
    <message>
        <source>not reached, stopped before its turn.</source>
        <translation>尚未轮到，已停止。</translation>
    </message>
    <message>
        <source>Stopped downloading from all cameras to %1.</source>
        <translation>已停止从所有相机下载到 %1。</translation>
    </message>
    <message>
        <source>%1 · Reading its card</source>
        <translation>%1 · 正在读取存储卡</translation>
    </message>
    <message>
        <source>Downloaded from all cameras to %1.</source>
        <translation>已从所有相机下载到 %1。</translation>
    </message>
    <message>
        <source>went away before its card was read.</source>
        <translation>读取存储卡之前已断开。</translation>
    </message>
    <message>
        <source>went away before its turn.</source>
        <translation>轮到之前已断开。</translation>
    </message>
    <message>
        <source>HTTP %1</source>
        <translation>HTTP %1</translation>
    </message>
    <message>
        <source>its card could not be read (%1).</source>
        <translation>无法读取存储卡（%1）。</translation>
    </message>
    <message>
        <source>its answer to the media list request is not a media list.</source>
        <translation>对媒体列表请求的回答不是媒体列表。</translation>
    </message>
    <message>
        <source>no files on its card.</source>
        <translation>存储卡上没有文件。</translation>
    </message>
    <message>
        <source>cannot make the folder %1.</source>
        <translation>无法创建文件夹 %1。</translation>
    </message>
    <message>
        <source>%1 of %2 files saved</source>
        <translation>已保存 %1 / %2 个文件</translation>
    </message>
    <message>
        <source>, %1 already there</source>
        <translation>，%1 个已存在</translation>
    </message>
    <message>
        <source>Saved under new names: %1.</source>
        <translation>以新文件名保存：%1。</translation>
    </message>
    <message>
        <source>Failed: %1.</source>
        <translation>失败：%1。</translation>
    </message>
    <message>
        <source>went away during the download: %1</source>
        <translation>下载过程中断开：%1</translation>
    </message>
    <message>
        <source>stopped: %1</source>
        <translation>已停止：%1</translation>
    </message>
    <message>
        <source>Camera %1 of %2 (%3)</source>
        <translation>第 %1 台相机，共 %2 台（%3）</translation>
    </message>
</context>
<context>
    <name>CameraPicker</name>
    <message>
        <source>The camera this window shows and controls.</source>
        <translation>此窗口显示和控制的相机。</translation>
    </message>
    <message>
        <source>All cameras</source>
        <translation>所有相机</translation>
    </message>
    <message>
        <source>Start, Stop, the capture mode and the settings go to every camera in the list that answers. The grid, the preview and downloads stay with the camera shown.</source>
        <translation>开始、停止、拍摄模式和设置将发送到列表中所有有响应的相机。缩略图、预览和下载仍针对当前显示的相机。</translation>
    </message>
    <message>
        <source>%1 stopped answering; the other cameras go on.</source>
        <translation>%1 已停止响应；其他相机继续。</translation>
    </message>
    <message>
        <source>%1 did not carry out %2 (%3).</source>
        <translation>%1 未执行 %2（%3）。</translation>
    </message>
    <message>
        <source>Camera information…</source>
        <translation>相机信息…</translation>
    </message>
    <message>
        <source>Which camera this is: model, firmware, serial, how it is reached, its clock.</source>
        <translation>这是哪台相机：型号、固件、序列号、连接方式、时钟。</translation>
    </message>
</context>
<context>
    <name>CameraRequests</name>
    <message>
        <source>HERO12 and later have no documented request for this over Wi-Fi or USB; set it on the camera.</source>
        <translation>HERO12 及更新的型号没有通过 Wi-Fi 或 USB 设置此项的公开请求；请在相机上设置。</translation>
    </message>
    <message>
        <source>The HERO12 Black has no GPS.</source>
        <translation>HERO12 Black 没有 GPS。</translation>
    </message>
</context>
<context>
    <name>CameraRoster</name>
    <message>
        <source>The cameras on the home network are not reached: %1. Make it a file of your own that only you may change, or remove it and set the cameras up again.</source>
        <translation>未连接家庭网络中的相机：%1。请将其改为只有您自己可以修改的您自己的文件，或删除它并重新设置相机。</translation>
    </message>
</context>
<context>
    <name>CameraStatusView</name>
    <message>
        <source>%1 %</source>
        <translation>%1%</translation>
    </message>
    <message>
        <source>charging</source>
        <translation>充电中</translation>
    </message>
    <message>
        <source>Camera battery</source>
        <translation>相机电池</translation>
    </message>
    <message>
        <source>no card</source>
        <translation>无存储卡</translation>
    </message>
    <message>
        <source>card error</source>
        <translation>存储卡错误</translation>
    </message>
    <message>
        <source>%1 GB free</source>
        <translation>剩余 %1 GB</translation>
    </message>
    <message>
        <source>%1 MB free</source>
        <translation>剩余 %1 MB</translation>
    </message>
    <message>
        <source>%1 of video</source>
        <translation>可录像 %1</translation>
    </message>
    <message numerus="yes">
        <source>%n photos</source>
        <translation>
            <numerusform>可拍 %n 张照片</numerusform>
        </translation>
    </message>
    <message>
        <source>Camera&apos;s SD card</source>
        <translation>相机存储卡</translation>
    </message>
    <message>
        <source>● REC</source>
        <translation>● 录制</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1 小时 %2 分钟</translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation>%1 分钟</translation>
    </message>
    <message>
        <source>Click for the camera&apos;s information.</source>
        <translation>点击查看相机信息。</translation>
    </message>
</context>
<context>
    <name>CardReader</name>
    <message>
        <source>The camera&apos;s answer to the media list request is not a media list.</source>
        <translation>相机对媒体列表请求的应答不是媒体列表。</translation>
    </message>
    <message>
        <source>The camera&apos;s media list could not be read: %1.</source>
        <translation>无法读取相机的媒体列表：%1。</translation>
    </message>
</context>
<context>
    <name>DestinationView</name>
    <message>
        <source>Change…</source>
        <translation>更改…</translation>
    </message>
    <message>
        <source>Hide downloaded</source>
        <translation>隐藏已下载</translation>
    </message>
    <message>
        <source>Choose the folder downloads go to</source>
        <translation>选择下载保存的文件夹</translation>
    </message>
    <message>
        <source>Leave out of the grid the files already in the download folder</source>
        <translation>不在网格中显示下载文件夹里已有的文件</translation>
    </message>
    <message>
        <source>Asked at the first download</source>
        <translation>首次下载时询问</translation>
    </message>
    <message>
        <source>The download folder is asked once, then remembered</source>
        <translation>下载文件夹只询问一次，之后会被记住</translation>
    </message>
    <message>
        <source>Downloads go to %1</source>
        <translation>下载保存到 %1</translation>
    </message>
</context>
<context>
    <name>DownloadBatch</name>
    <message>
        <source>%1 (unsafe file name, skipped)</source>
        <translation>%1（文件名不安全，已跳过）</translation>
    </message>
    <message>
        <source>%1 (cannot write: %2)</source>
        <translation>%1（无法写入：%2）</translation>
    </message>
    <message>
        <source>HTTP %1</source>
        <translation>HTTP %1</translation>
    </message>
    <message>
        <source>cannot rename: %1</source>
        <translation>无法重命名：%1</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1（%2）</translation>
    </message>
    <message>
        <source>Downloaded %1 of %2 files to %3.</source>
        <translation>已下载 %1 / %2 个文件到 %3。</translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation>失败：%1</translation>
    </message>
    <message numerus="yes">
        <source>%n already there, skipped.</source>
        <translation>
            <numerusform>%n 个文件已存在，已跳过。</numerusform>
        </translation>
    </message>
    <message>
        <source>Saved under new names: %1.</source>
        <translation>以新文件名保存：%1。</translation>
    </message>
    <message>
        <source>no data for %1 s</source>
        <translation>%1 秒内没有收到数据</translation>
    </message>
    <message>
        <source>every name is taken</source>
        <translation>所有文件名都已被占用</translation>
    </message>
    <message>
        <source>the camera sent another part of the file</source>
        <translation>相机发送的不是所需的文件部分</translation>
    </message>
    <message>
        <source>Stopped: downloaded %1 of %2 files to %3.</source>
        <translation>已停止：已下载 %1 / %2 个文件到 %3。</translation>
    </message>
</context>
<context>
    <name>DownloadControl</name>
    <message>
        <source>Downloading %1 of %2: %3</source>
        <translation>正在下载第 %1 个，共 %2 个：%3</translation>
    </message>
    <message>
        <source>%1 is gone.</source>
        <translation>%1 已断开。</translation>
    </message>
    <message>
        <source>A download is already running; wait until it has finished.</source>
        <translation>已有下载正在进行，请等待其完成。</translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation>选择文件夹</translation>
    </message>
    <message>
        <source>No camera answers: nothing to download.</source>
        <translation>没有相机应答，没有可下载的内容。</translation>
    </message>
    <message>
        <source>Download to</source>
        <translation>下载到</translation>
    </message>
    <message>
        <source>%1 is gone or not writable: choose where to download to.</source>
        <translation>%1 不存在或不可写：请选择下载位置。</translation>
    </message>
</context>
<context>
    <name>DownloadRules</name>
    <message>
        <source>transfer failed</source>
        <translation>传输失败</translation>
    </message>
    <message>
        <source>%1 of %2 bytes</source>
        <translation>%1 / %2 字节</translation>
    </message>
    <message>
        <source>%1 bytes, the camera lists %2</source>
        <translation>%1 字节，相机列出的大小为 %2</translation>
    </message>
    <message>
        <source>resumed without a size to check</source>
        <translation>续传的文件没有可核对的大小</translation>
    </message>
    <message>
        <source>no size given, it could be cut short</source>
        <translation>没有给出大小，文件可能不完整</translation>
    </message>
</context>
<context>
    <name>FirstScreen</name>
    <message>
        <source>No camera answers yet</source>
        <translation>尚无相机应答</translation>
    </message>
    <message>
        <source>Connect one of these ways; its files show here once it answers.</source>
        <translation>请用以下任一方式连接相机；相机应答后，其文件会显示在这里。</translation>
    </message>
    <message>
        <source>Bluetooth set-up…</source>
        <translation>蓝牙设置…</translation>
    </message>
    <message>
        <source>Find cameras over Bluetooth; then choose one in the tool bar and press Connect.</source>
        <translation>通过蓝牙查找相机；然后在工具栏中选择一台并按“连接”。</translation>
    </message>
    <message>
        <source>Home network set-up…</source>
        <translation>家庭网络设置…</translation>
    </message>
    <message>
        <source>The camera&apos;s Wi-Fi</source>
        <translation>相机的 Wi-Fi</translation>
    </message>
    <message>
        <source>Switch on the camera&apos;s wireless connections and join its network (named like GP24645504) in this computer&apos;s network settings. Or let Bluetooth set-up read its name and password from the camera and join it for you.</source>
        <translation>打开相机的无线连接，并在本电脑的网络设置中加入其网络（名称类似 GP24645504）。也可以让蓝牙设置从相机读取网络名称和密码并替你加入。</translation>
    </message>
    <message>
        <source>A USB cable</source>
        <translation>USB 数据线</translation>
    </message>
    <message>
        <source>Plug the camera in, switched on: Velkamo finds it by itself within seconds. HERO8 and HERO9 first need USB Connection set to GoPro Connect on the camera.</source>
        <translation>将开机的相机插入电脑：Velkamo 会在几秒内自动找到它。HERO8 和 HERO9 需先在相机上将 USB 连接设为 GoPro Connect。</translation>
    </message>
    <message>
        <source>Your home network</source>
        <translation>你的家庭网络</translation>
    </message>
    <message>
        <source>A HERO12 or later once put on your home network is found there by itself. To put one there, connect it over Bluetooth first.</source>
        <translation>已加入家庭网络的 HERO12 及更新机型会被自动找到。要让相机加入家庭网络，请先通过蓝牙连接它。</translation>
    </message>
    <message>
        <source>Connection guide</source>
        <translation>连接指南</translation>
    </message>
    <message>
        <source>(F1): every way, step by step.</source>
        <translation>（F1）：逐步介绍每种连接方式。</translation>
    </message>
    <message>
        <source>Put the camera connected over Bluetooth on your home network.</source>
        <translation>让通过蓝牙连接的相机加入你的家庭网络。</translation>
    </message>
    <message>
        <source>Connect a HERO12 or later over Bluetooth first.</source>
        <translation>请先通过蓝牙连接一台 HERO12 或更新机型。</translation>
    </message>
</context>
<context>
    <name>HomeCameraTrust</name>
    <message>
        <source>No camera set up at %1.</source>
        <translation>%1 处没有已设置的相机。</translation>
    </message>
    <message>
        <source>The camera at %1 is not trusted until it is set up again.</source>
        <translation>在重新设置之前，%1 处的相机不受信任。</translation>
    </message>
    <message>
        <source>The camera at %1 showed a certificate that is not its own; nothing more is sent to it. Set it up again over Bluetooth if it was reset.</source>
        <translation>%1 处的相机出示的证书不是它自己的；不再向它发送任何内容。如果相机已重置，请通过蓝牙重新设置。</translation>
    </message>
    <message>
        <source>The camera at %1 refused the password Velkamo has for it; nothing more is sent to it. Set it up again over Bluetooth if its password was changed or it was reset.</source>
        <translation>%1 处的相机拒绝了 Velkamo 保存的密码；不再向它发送任何内容。如果其密码已更改或相机已重置，请通过蓝牙重新设置。</translation>
    </message>
</context>
<context>
    <name>HomeNetworkDialog</name>
    <message>
        <source>Camera on the home network</source>
        <translation>家庭网络中的相机</translation>
    </message>
    <message>
        <source>Join</source>
        <translation>加入</translation>
    </message>
    <message>
        <source>Scan again</source>
        <translation>重新扫描</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>密码：</translation>
    </message>
    <message>
        <source>Networks the camera sees (the HERO12 joins only networks with internet access; on the home network the camera&apos;s own Wi-Fi is off):</source>
        <translation>相机能看到的网络（HERO12 只加入能访问互联网的网络；在家庭网络中，相机自己的 Wi-Fi 会关闭）：</translation>
    </message>
    <message>
        <source>The camera is on “%1” at %2.</source>
        <translation>相机已在“%1”上，地址 %2。</translation>
    </message>
    <message>
        <source>known</source>
        <translation>已知</translation>
    </message>
    <message>
        <source>Secured with a password</source>
        <translation>有密码保护</translation>
    </message>
    <message>
        <source>Open network</source>
        <translation>开放网络</translation>
    </message>
    <message>
        <source>The camera sees no network.</source>
        <translation>相机看不到任何网络。</translation>
    </message>
    <message>
        <source>Choose the network the camera should join.</source>
        <translation>请选择相机要加入的网络。</translation>
    </message>
</context>
<context>
    <name>HomeNetworkSetup</name>
    <message>
        <source>The camera&apos;s answer could not be read: %1.</source>
        <translation>无法读取相机的应答：%1。</translation>
    </message>
    <message>
        <source>The Bluetooth link to the camera was lost.</source>
        <translation>与相机的蓝牙连接已断开。</translation>
    </message>
    <message>
        <source>The camera did not start joining “%1”.</source>
        <translation>相机没有开始加入“%1”。</translation>
    </message>
    <message>
        <source>The camera stopped joining “%1”.</source>
        <translation>相机停止了加入“%1”。</translation>
    </message>
    <message>
        <source>Joining “%1” was cancelled on the camera.</source>
        <translation>在相机上取消了加入“%1”。</translation>
    </message>
    <message>
        <source>The camera could not join “%1”: most likely this network has no internet access, which the HERO12 needs.</source>
        <translation>相机无法加入“%1”：很可能此网络无法访问互联网，而 HERO12 需要互联网。</translation>
    </message>
    <message>
        <source>The camera could not join “%1”: it failed to associate with it.</source>
        <translation>相机无法加入“%1”：无法与其关联。</translation>
    </message>
    <message>
        <source>The password for “%1” is wrong.</source>
        <translation>“%1”的密码错误。</translation>
    </message>
    <message>
        <source>The camera refuses to join “%1” until its terms of use are accepted (once, in the GoPro Quik app).</source>
        <translation>在接受使用条款之前（在 GoPro Quik 应用中接受一次），相机拒绝加入“%1”。</translation>
    </message>
    <message>
        <source>The camera could not join “%1”: this network has no internet access, which the HERO12 needs.</source>
        <translation>相机无法加入“%1”：此网络无法访问互联网，而 HERO12 需要互联网。</translation>
    </message>
    <message>
        <source>The camera could not join “%1”: this network has no internet access.</source>
        <translation>相机无法加入“%1”：此网络无法访问互联网。</translation>
    </message>
    <message>
        <source>The camera cannot join “%1”: it does not support this kind of network.</source>
        <translation>相机无法加入“%1”：不支持此类网络。</translation>
    </message>
    <message>
        <source>The request could not be sent to the camera over Bluetooth.</source>
        <translation>无法通过蓝牙向相机发送请求。</translation>
    </message>
    <message>
        <source>Looking for the networks the camera sees…</source>
        <translation>正在查找相机能看到的网络…</translation>
    </message>
    <message>
        <source>Asking the camera to join “%1”…</source>
        <translation>正在请求相机加入“%1”…</translation>
    </message>
    <message>
        <source>The camera could not start a scan for networks.</source>
        <translation>相机无法开始扫描网络。</translation>
    </message>
    <message>
        <source>The camera&apos;s scan for networks was stopped before it ended.</source>
        <translation>相机的网络扫描在完成前被停止。</translation>
    </message>
    <message>
        <source>The camera did not list the networks it found.</source>
        <translation>相机没有列出它找到的网络。</translation>
    </message>
    <message>
        <source>The camera refused to join “%1”.</source>
        <translation>相机拒绝加入“%1”。</translation>
    </message>
    <message>
        <source>The camera joined “%1”. Creating its certificate…</source>
        <translation>相机已加入“%1”。正在创建其证书…</translation>
    </message>
    <message>
        <source>The camera is joining “%1”…</source>
        <translation>相机正在加入“%1”…</translation>
    </message>
    <message>
        <source>The camera could not create its certificate.</source>
        <translation>相机无法创建其证书。</translation>
    </message>
    <message>
        <source>Reading the camera&apos;s certificate…</source>
        <translation>正在读取相机的证书…</translation>
    </message>
    <message>
        <source>The camera did not give its certificate.</source>
        <translation>相机没有提供其证书。</translation>
    </message>
    <message>
        <source>Waiting for the camera&apos;s address on “%1”…</source>
        <translation>正在等待相机在“%1”上的地址…</translation>
    </message>
    <message>
        <source>The camera did not finish its scan for networks in time.</source>
        <translation>相机未能及时完成网络扫描。</translation>
    </message>
    <message>
        <source>The camera did not finish joining “%1” within %2 seconds.</source>
        <translation>相机未能在 %2 秒内完成加入“%1”。</translation>
    </message>
    <message>
        <source>The camera did not tell its address on “%1” within %2 seconds.</source>
        <translation>相机未能在 %2 秒内告知其在“%1”上的地址。</translation>
    </message>
    <message>
        <source>The camera did not answer for its certificate in time.</source>
        <translation>相机未能及时应答证书请求。</translation>
    </message>
</context>
<context>
    <name>LivePreview</name>
    <message>
        <source>info</source>
        <translation>提示</translation>
    </message>
    <message>
        <source>please view stream %1 in 3rd applications</source>
        <translation>请在第三方应用中查看视频流 %1</translation>
    </message>
    <message>
        <source>Live preview</source>
        <translation>实时预览</translation>
    </message>
    <message>
        <source>This camera sends its preview as %1 video, and no decoder for it is installed. Install the package gstreamer1.0-libav (sudo apt install gstreamer1.0-libav) and start the preview again, or tick &quot;3rd&quot; to watch the stream in another player.</source>
        <translation>这台相机的预览是 %1 视频，而本机没有安装能解码它的解码器。请安装软件包 gstreamer1.0-libav（sudo apt install gstreamer1.0-libav）后重新开始预览，或者勾选“第三方”在其他播放器中观看视频流。</translation>
    </message>
</context>
<context>
    <name>LoopbackDevices</name>
    <message>
        <source>No v4l2loopback device: programs that use PipeWire see the camera, browsers and video-call programs need one. Install the package v4l2loopback-dkms and run:
%1</source>
        <translation>没有 v4l2loopback 设备：使用 PipeWire 的程序能看到相机，浏览器和视频通话程序需要这样一个设备。请安装软件包 v4l2loopback-dkms 并运行：
%1</translation>
    </message>
    <message>
        <source>Every v4l2loopback device is in use (%1): programs that use PipeWire see the camera. To add one, unload the module when nothing uses it and run:
%2</source>
        <translation>所有 v4l2loopback 设备都在使用中（%1）：使用 PipeWire 的程序能看到相机。要添加一个，请在没有程序使用该模块时将其卸载，然后运行：
%2</translation>
    </message>
</context>
<context>
    <name>LossText</name>
    <message>
        <source>%1 GB</source>
        <translation>%1 GB</translation>
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
        <source>%1: every file on its card is erased.</source>
        <translation>%1：其存储卡上的所有文件将被清除。</translation>
    </message>
    <message>
        <source>%1: all %2 files (%3) on its card are erased.</source>
        <translation>%1：其存储卡上的全部 %2 个文件（%3）将被清除。</translation>
    </message>
    <message>
        <source>%1: 1 file (%2) on its card is deleted.</source>
        <translation>%1：其存储卡上的 1 个文件（%2）将被删除。</translation>
    </message>
    <message>
        <source>%1: %2 files (%3) on its card are deleted.</source>
        <translation>%1：其存储卡上的 %2 个文件（%3）将被删除。</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>No keyring: the password of %1 is kept until Velkamo closes</source>
        <translation>没有密钥环：%1 的密码仅保留到 Velkamo 关闭为止</translation>
    </message>
    <message>
        <source>%1 is on a camera on the home network: download it, then play it from your folder. Velkamo plays nothing straight from such a camera, whose certificate and password the player cannot check.</source>
        <translation>%1 位于家庭网络中的相机上：请先下载，再从您的文件夹播放。播放器无法检查此类相机的证书和密码，因此 Velkamo 不会直接从它播放。</translation>
    </message>
    <message>
        <source>More ways to download</source>
        <translation>更多下载方式</translation>
    </message>
    <message>
        <source>Download from all cameras</source>
        <translation>从所有相机下载</translation>
    </message>
    <message>
        <source>A download from %1 is running. Stop it and switch cameras?</source>
        <translation>正在从 %1 下载。要停止下载并切换相机吗？</translation>
    </message>
    <message>
        <source>%1 could not be shown: %2</source>
        <translation>无法显示 %1：%2</translation>
    </message>
    <message>
        <source>Opening %1: %2 %</source>
        <translation>正在打开 %1：%2 %</translation>
    </message>
    <message>
        <source>A download is running. Stop it and quit? Files already saved stay; the file being fetched is removed.</source>
        <translation>正在下载。要停止下载并退出吗？已保存的文件会保留；正在下载的文件会被删除。</translation>
    </message>
    <message>
        <source>A download is running: nothing is deleted from the card until it has finished or been stopped.</source>
        <translation>正在下载：下载完成或停止之前，不会删除存储卡上的任何文件。</translation>
    </message>
    <message>
        <source>The camera reports itself as “%1”, a model Velkamo has no profile for. The controls stay those of %2; choose the closest model in “Select GoPro”.</source>
        <translation>相机报告其型号为“%1”，Velkamo 没有该型号的配置。控件仍为 %2 的控件；请在“Select GoPro”中选择最接近的型号。</translation>
    </message>
    <message>
        <source>Velkamo</source>
        <translation>Velkamo</translation>
    </message>
    <message>
        <source>Capture Control</source>
        <translation>拍摄控制</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>开始</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>参数设置</translation>
    </message>
    <message>
        <source>Change To</source>
        <translation>切换为</translation>
    </message>
    <message>
        <source>General Control</source>
        <translation>常规控制</translation>
    </message>
    <message>
        <source>GPS Tag</source>
        <translation>GPS 标记</translation>
    </message>
    <message>
        <source>Voice Control</source>
        <translation>语音控制</translation>
    </message>
    <message>
        <source>Quik Capture</source>
        <translation>快速拍摄</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>刷新</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>下载</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Preview Control</source>
        <translation>预览控制</translation>
    </message>
    <message>
        <source>BitRate</source>
        <translation>码率</translation>
    </message>
    <message>
        <source>Window Size</source>
        <translation>画面尺寸</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Activate the camera video stream and view it in 3rd applications (VLC, ffmpeg, etc.)&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;开启相机视频流，并在第三方程序（VLC、ffmpeg 等）中观看&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>3rd</source>
        <translation>第三方</translation>
    </message>
    <message>
        <source>Power off the camera.</source>
        <translation>关闭相机电源。</translation>
    </message>
    <message>
        <source>Format SD card.</source>
        <translation>格式化 SD 卡。</translation>
    </message>
    <message>
        <source>connection guide.</source>
        <translation>连接指南。</translation>
    </message>
    <message>
        <source>show the app information.</source>
        <translation>显示程序信息。</translation>
    </message>
    <message>
        <source>warning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Maybe connection is lost.</source>
        <translation>与相机的连接可能已断开。</translation>
    </message>
    <message>
        <source>CAUTION: Are you sure to format?</source>
        <translation>注意：确定要格式化 SD 卡吗？卡上的所有文件都将被删除。</translation>
    </message>
    <message>
        <source>write config failed!</source>
        <translation>写入配置文件失败！</translation>
    </message>
    <message>
        <source>About</source>
        <translation>关于</translation>
    </message>
    <message>
        <source>version: %1</source>
        <translation>版本：%1</translation>
    </message>
    <message>
        <source>website: </source>
        <translation>网站：</translation>
    </message>
    <message>
        <source>Open file failed!</source>
        <translation>打开文件失败！</translation>
    </message>
    <message>
        <source>Total media files: %1</source>
        <translation>媒体文件总数：%1</translation>
    </message>
    <message>
        <source>Warnning</source>
        <translation>警告</translation>
    </message>
    <message>
        <source>Are you sure to delete selected files?</source>
        <translation>确定要删除所选文件吗？</translation>
    </message>
    <message>
        <source>The camera did not carry out %1 (%2).</source>
        <translation>相机未执行 %1（%2）。</translation>
    </message>
    <message>
        <source>%1: the camera shown changed from %2 to %3 while you were asked.</source>
        <translation>%1：在询问您期间，显示的相机已从 %2 变为 %3。</translation>
    </message>
    <message>
        <source>the camera</source>
        <translation>相机</translation>
    </message>
    <message>
        <source>none</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Nothing was formatted</source>
        <translation>未格式化任何内容</translation>
    </message>
    <message>
        <source>Nothing was downloaded</source>
        <translation>未下载任何文件</translation>
    </message>
    <message>
        <source>Nothing was deleted</source>
        <translation>未删除任何文件</translation>
    </message>
    <message>
        <source>Set Clock</source>
        <translation>设置时钟</translation>
    </message>
    <message>
        <source>Set each camera&apos;s clock to this PC&apos;s time whenever it comes online, so that files of all cameras carry the same time.</source>
        <translation>每台相机连上时都将其时钟设为本机时间，使所有相机的文件时间一致。</translation>
    </message>
    <message>
        <source>Thumbnails per row</source>
        <translation>每行缩略图</translation>
    </message>
    <message>
        <source>The camera did not take %1 %2 (%3).</source>
        <translation>相机未接受 %1 %2（%3）。</translation>
    </message>
    <message>
        <source>The camera took %1 %2.</source>
        <translation>相机已设置 %1 %2。</translation>
    </message>
    <message>
        <source>Format card…</source>
        <translation>格式化存储卡…</translation>
    </message>
    <message>
        <source>remote control for GoPro HERO cameras.</source>
        <translation>GoPro HERO 相机遥控程序。</translation>
    </message>
    <message>
        <source>Free software under the GNU General Public License, version 3 or later.</source>
        <translation>以 GNU 通用公共许可证第 3 版或更高版本发布的自由软件。</translation>
    </message>
    <message>
        <source>the card</source>
        <translation>存储卡</translation>
    </message>
    <message>
        <source>the command</source>
        <translation>该命令</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>格式化</translation>
    </message>
    <message>
        <source>the mode</source>
        <translation>拍摄模式</translation>
    </message>
    <message>
        <source>the setting</source>
        <translation>该设置</translation>
    </message>
    <message>
        <source>the preview</source>
        <translation>预览</translation>
    </message>
    <message>
        <source>the download</source>
        <translation>下载</translation>
    </message>
</context>
<context>
    <name>PictureFetcher</name>
    <message>
        <source>the camera sent no picture</source>
        <translation>相机没有发送图片</translation>
    </message>
    <message>
        <source>HTTP %1</source>
        <translation>HTTP %1</translation>
    </message>
</context>
<context>
    <name>PreviewForm</name>
    <message>
        <source>%1 · 1 file</source>
        <translation>%1 · 1 个文件</translation>
    </message>
    <message>
        <source>%1 · %2 files</source>
        <translation>%1 · %2 个文件</translation>
    </message>
    <message>
        <source>Form</source>
        <translation>缩略图</translation>
    </message>
    <message>
        <source>Downloaded</source>
        <translation>已下载</translation>
    </message>
    <message>
        <source>Already in %1</source>
        <translation>已在 %1 中</translation>
    </message>
</context>
<context>
    <name>RememberedCameras</name>
    <message>
        <source>%1 is a symbolic link</source>
        <translation>%1 是符号链接</translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation>无法读取 %1：%2</translation>
    </message>
    <message>
        <source>%1 is not a plain file</source>
        <translation>%1 不是普通文件</translation>
    </message>
    <message>
        <source>%1 belongs to another user</source>
        <translation>%1 属于其他用户</translation>
    </message>
    <message>
        <source>%1 may be changed by other users</source>
        <translation>%1 可被其他用户修改</translation>
    </message>
    <message>
        <source>%1 is far too large for a list of cameras</source>
        <translation>%1 作为相机列表过大</translation>
    </message>
</context>
<context>
    <name>ReplyLimit</name>
    <message>
        <source>no complete answer within %1 s</source>
        <translation>%1 秒内未收到完整回答</translation>
    </message>
    <message>
        <source>answer larger than %1</source>
        <translation>回答大于 %1</translation>
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
        <source>%1 bytes</source>
        <translation>%1 字节</translation>
    </message>
</context>
<context>
    <name>SelectionStatus</name>
    <message>
        <source>Right-click, or the arrow beside: download from all cameras.</source>
        <translation>右键单击或点旁边的箭头：从所有相机下载。</translation>
    </message>
    <message>
        <source>Tick files to download them; the arrow beside downloads from all cameras.</source>
        <translation>勾选文件即可下载；旁边的箭头可从所有相机下载。</translation>
    </message>
    <message>
        <source>Tick files to delete them from the camera.</source>
        <translation>勾选文件即可从相机中删除。</translation>
    </message>
</context>
<context>
    <name>SelectionSummary</name>
    <message numerus="yes">
        <source>%n selected</source>
        <translation>
            <numerusform>已选 %n 个文件</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Download %n files</source>
        <translation>
            <numerusform>下载 %n 个文件</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Delete %n files</source>
        <translation>
            <numerusform>删除 %n 个文件</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1（%2）</translation>
    </message>
</context>
<context>
    <name>SettingRefusal</name>
    <message>
        <source>the camera does not offer this setting now</source>
        <translation>相机目前不提供此设置</translation>
    </message>
    <message>
        <source>the camera does not offer this option now</source>
        <translation>相机目前不提供此选项</translation>
    </message>
    <message>
        <source>%1; it offers %2</source>
        <translation>%1；可选：%2</translation>
    </message>
</context>
<context>
    <name>TileGrid</name>
    <message>
        <source>Select all</source>
        <translation>全选</translation>
    </message>
    <message>
        <source>Select none</source>
        <translation>全不选</translation>
    </message>
</context>
<context>
    <name>TransferPanel</name>
    <message>
        <source>Stop</source>
        <translation>停止</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Stop the download; files already saved stay.</source>
        <translation>停止下载；已保存的文件会保留。</translation>
    </message>
    <message>
        <source>Show in folder</source>
        <translation>在文件夹中显示</translation>
    </message>
</context>
<context>
    <name>TransferRate</name>
    <message>
        <source>%1 of %2</source>
        <translation>%1 / %2</translation>
    </message>
    <message>
        <source>%1/s</source>
        <translation>%1/秒</translation>
    </message>
    <message>
        <source>%1 s left</source>
        <translation>剩余 %1 秒</translation>
    </message>
    <message>
        <source>%1 min %2 s left</source>
        <translation>剩余 %1 分 %2 秒</translation>
    </message>
    <message>
        <source>%1 h %2 min left</source>
        <translation>剩余 %1 小时 %2 分</translation>
    </message>
</context>
<context>
    <name>WebcamControl</name>
    <message>
        <source>Off</source>
        <translation>关闭</translation>
    </message>
    <message>
        <source>Idle</source>
        <translation>空闲</translation>
    </message>
    <message>
        <source>High Power Preview</source>
        <translation>高功耗预览</translation>
    </message>
    <message>
        <source>Low Power Preview</source>
        <translation>低功耗预览</translation>
    </message>
    <message>
        <source>Unavailable</source>
        <translation>不可用</translation>
    </message>
    <message>
        <source>status %1</source>
        <translation>状态 %1</translation>
    </message>
    <message>
        <source>None</source>
        <translation>无</translation>
    </message>
    <message>
        <source>Set Preset</source>
        <translation>设置预设</translation>
    </message>
    <message>
        <source>Set Window Size</source>
        <translation>设置窗口尺寸</translation>
    </message>
    <message>
        <source>Exec Stream</source>
        <translation>执行视频流</translation>
    </message>
    <message>
        <source>Shutter</source>
        <translation>快门</translation>
    </message>
    <message>
        <source>Com timeout</source>
        <translation>通信超时</translation>
    </message>
    <message>
        <source>Invalid param</source>
        <translation>参数无效</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>退出</translation>
    </message>
    <message>
        <source>error %1</source>
        <translation>错误 %1</translation>
    </message>
    <message>
        <source>Narrow</source>
        <translation>窄角</translation>
    </message>
    <message>
        <source>SuperView</source>
        <translation>超广角</translation>
    </message>
    <message>
        <source>Linear</source>
        <translation>线性</translation>
    </message>
    <message>
        <source>Wide</source>
        <translation>广角</translation>
    </message>
    <message>
        <source>The camera is not reached.</source>
        <translation>无法连接相机。</translation>
    </message>
    <message>
        <source>The camera&apos;s model is not known yet.</source>
        <translation>相机的型号尚不清楚。</translation>
    </message>
    <message>
        <source>The HERO%1 has no documented webcam mode: it takes a HERO9 or later.</source>
        <translation>HERO%1 没有公开的网络摄像头模式：需要 HERO9 或更新的型号。</translation>
    </message>
    <message>
        <source>The HERO%1 is a webcam over a USB cable only: plug it in.</source>
        <translation>HERO%1 只能通过 USB 线用作网络摄像头：请插上 USB 线。</translation>
    </message>
    <message>
        <source>The camera</source>
        <translation>相机</translation>
    </message>
    <message>
        <source>%1 did not answer: %2</source>
        <translation>%1 没有应答：%2</translation>
    </message>
    <message>
        <source>%1 refused webcam mode: HTTP %2.</source>
        <translation>%1 拒绝进入网络摄像头模式：HTTP %2。</translation>
    </message>
    <message>
        <source>%1 refused webcam mode: %2 (status %3: %4).</source>
        <translation>%1 拒绝进入网络摄像头模式：%2（状态 %3：%4）。</translation>
    </message>
    <message>
        <source>%1 did not start streaming: its webcam reads %2.</source>
        <translation>%1 没有开始发送视频流：其网络摄像头状态为 %2。</translation>
    </message>
    <message>
        <source>%1 no longer answers: the webcam has stopped.</source>
        <translation>%1 不再应答：网络摄像头已停止。</translation>
    </message>
    <message>
        <source>%1 left webcam mode (it reads %2).</source>
        <translation>%1 已退出网络摄像头模式（状态为 %2）。</translation>
    </message>
    <message>
        <source>%1 was unplugged: the webcam has stopped.</source>
        <translation>%1 已被拔出：网络摄像头已停止。</translation>
    </message>
    <message>
        <source>%1 is gone: the webcam has stopped.</source>
        <translation>%1 已断开：网络摄像头已停止。</translation>
    </message>
</context>
<context>
    <name>WebcamOutput</name>
    <message>
        <source>The GStreamer element &quot;%1&quot; is missing: install the package %2.</source>
        <translation>缺少 GStreamer 元件“%1”：请安装软件包 %2。</translation>
    </message>
    <message>
        <source>%1 is there but this user may not write to it: add the user to the group &quot;video&quot; and log in again.</source>
        <translation>%1 存在，但当前用户无权写入：请将该用户加入“video”组并重新登录。</translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2.</source>
        <translation>无法打开 %1：%2。</translation>
    </message>
    <message>
        <source>%1 is not a v4l2loopback device.</source>
        <translation>%1 不是 v4l2loopback 设备。</translation>
    </message>
    <message>
        <source>GStreamer cannot start: %1</source>
        <translation>GStreamer 无法启动：%1</translation>
    </message>
    <message>
        <source>The webcam output cannot start.</source>
        <translation>网络摄像头输出无法启动。</translation>
    </message>
    <message>
        <source>The webcam output&apos;s GStreamer elements cannot be made.</source>
        <translation>无法创建网络摄像头输出所需的 GStreamer 元件。</translation>
    </message>
    <message>
        <source>The webcam output&apos;s GStreamer elements cannot be linked.</source>
        <translation>无法连接网络摄像头输出所需的 GStreamer 元件。</translation>
    </message>
    <message>
        <source>The camera&apos;s stream cannot be received on port %1: %2</source>
        <translation>无法在端口 %1 上接收相机的视频流：%2</translation>
    </message>
    <message>
        <source>The video cannot be written to %1: %2</source>
        <translation>无法将视频写入 %1：%2</translation>
    </message>
    <message>
        <source>The video cannot be offered through PipeWire (is it running?): %1</source>
        <translation>无法通过 PipeWire 提供视频（PipeWire 是否在运行？）：%1</translation>
    </message>
    <message>
        <source>The camera&apos;s stream cannot be decoded: %1</source>
        <translation>无法解码相机的视频流：%1</translation>
    </message>
    <message>
        <source>The webcam output stopped: %1</source>
        <translation>网络摄像头输出已停止：%1</translation>
    </message>
</context>
<context>
    <name>WebcamPanel</name>
    <message>
        <source>Use as webcam</source>
        <translation>用作网络摄像头</translation>
    </message>
    <message>
        <source>Show the picture here</source>
        <translation>在此显示画面</translation>
    </message>
    <message>
        <source>The webcam&apos;s resolution and field of view</source>
        <translation>网络摄像头的分辨率和视野</translation>
    </message>
    <message>
        <source>%1 is a webcam and does nothing else: %2 waits until &quot;Use as webcam&quot; is unchecked.</source>
        <translation>%1 正用作网络摄像头，不做其他事情：%2 将等到取消勾选“用作网络摄像头”后再进行。</translation>
    </message>
    <message>
        <source>%1 is a webcam: other programs find it as %2.</source>
        <translation>%1 已用作网络摄像头：其他程序中的名称为 %2。</translation>
    </message>
    <message>
        <source>The webcam of %1 stopped: %2</source>
        <translation>%1 的网络摄像头已停止：%2</translation>
    </message>
    <message>
        <source>%1 is no longer a webcam.</source>
        <translation>%1 不再用作网络摄像头。</translation>
    </message>
    <message>
        <source>Another camera is a webcam on port %1 already, and the %2 cannot be told another: stop that one first.</source>
        <translation>另一台相机已在端口 %1 上用作网络摄像头，而 %2 无法改用其他端口：请先停止那一台。</translation>
    </message>
    <message>
        <source>%1 is becoming a webcam (%2, %3)…</source>
        <translation>%1 正在切换为网络摄像头（%2，%3）…</translation>
    </message>
    <message>
        <source>No camera is reached.</source>
        <translation>没有连接任何相机。</translation>
    </message>
    <message>
        <source>The camera does not answer.</source>
        <translation>相机没有应答。</translation>
    </message>
    <message>
        <source>The camera is leaving webcam mode.</source>
        <translation>相机正在退出网络摄像头模式。</translation>
    </message>
    <message>
        <source>Make the camera this PC&apos;s webcam, for video calls and recording programs.</source>
        <translation>将相机用作这台电脑的网络摄像头，供视频通话和录制程序使用。</translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation>分辨率</translation>
    </message>
    <message>
        <source>Field of view</source>
        <translation>视野</translation>
    </message>
</context>
<context>
    <name>dlgshowpict</name>
    <message>
        <source>Dialog</source>
        <translation>图片</translation>
    </message>
</context>
<context>
    <name>mediaplayer</name>
    <message>
        <source>Default</source>
        <translation>默认</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>加载中...</translation>
    </message>
    <message>
        <source>Stalled %1%</source>
        <translation>停滞 %1%</translation>
    </message>
    <message>
        <source>Buffering %1%</source>
        <translation>缓冲 %1%</translation>
    </message>
    <message>
        <source>Service not available</source>
        <translation>服务不可用</translation>
    </message>
    <message>
        <source>The QMediaPlayer object does not have a valid service.
Please check the media service plugins are installed.</source>
        <translation>QMediaPlayer 对象没有有效的服务。
请检查是否已安装媒体服务插件。</translation>
    </message>
</context>
</TS>

<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AllCameras</name>
    <message>
        <source>%1: not answering</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no capture mode %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no profile for its model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no %1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no setting %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 sent to no camera.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 sent to %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Left alone: %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BluetoothPanel</name>
    <message>
        <source>Bluetooth</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find cameras over Bluetooth.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cameras found over Bluetooth.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect the chosen camera and join its Wi-Fi.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Home network…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Put the camera connected over Bluetooth on your home network (HERO12 and later).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>On the home network at %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the camera&apos;s address</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera did not tell its Wi-Fi name: it is not paired with this computer.&lt;br&gt;Pair it once: put the camera in pairing mode (Connections &amp;gt; Connect Device), pair it in this computer&apos;s Bluetooth settings or with bluetoothctl (pair %1, then trust %1), then connect again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Camera</name>
    <message>
        <source>Home</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>offline</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no card</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 GB free</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>REC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>online</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wi-Fi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CameraClock</name>
    <message>
        <source>no request for its model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HTTP %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clock of %1 set to this PC&apos;s time.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clock of %1 set to this PC&apos;s time; it reads %2 s from it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The clock of %1 cannot be set (%2): its files carry the time it keeps.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CameraFacts</name>
    <message>
        <source>Model</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reached by</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Clock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open GoPro version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not known</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not told</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (remembered; not told this time)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HERO%1 (guessed; not told by the camera)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Home network</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wi-Fi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (not answering)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not set</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not set (Set Clock is off)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not set (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set to this PC&apos;s time; reads %1 s from it</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set to this PC&apos;s time; not read (the model does not tell it)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>set to this PC&apos;s time; not read</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not offered</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>asking…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no answer (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>asked once the camera answers</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HTTP %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none in the answer</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CameraHttpReply</name>
    <message>
        <source>answer line longer than %1 KB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>malformed answer body</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>answer without an HTTP status line</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>malformed answer header</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the camera closed the connection before the whole answer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the camera answered HTTP %1 %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Operation canceled</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CameraInfoDialog</name>
    <message>
        <source>Camera information: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CameraLink</name>
    <message>
        <source>HTTP %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CameraNetworkManager</name>
    <message>
        <source>redirected (HTTP %1), not followed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>redirected to %1 (HTTP %2), not followed</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CameraOffload</name>
    <message>
        <source>%1 · Downloading %2 of %3: %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>stopped before anything was downloaded.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not reached, stopped before its turn.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopped downloading from all cameras to %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 · Reading its card</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloaded from all cameras to %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>went away before its card was read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>went away before its turn.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HTTP %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its card could not be read (%1).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its answer to the media list request is not a media list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no files on its card.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot make the folder %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 files saved</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, %1 already there</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saved under new names: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>went away during the download: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>stopped: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Camera %1 of %2 (%3)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CameraPicker</name>
    <message>
        <source>The camera this window shows and controls.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All cameras</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start, Stop, the capture mode and the settings go to every camera in the list that answers. The grid, the preview and downloads stay with the camera shown.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 stopped answering; the other cameras go on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 did not carry out %2 (%3).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Camera information…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Which camera this is: model, firmware, serial, how it is reached, its clock.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CameraRequests</name>
    <message>
        <source>HERO12 and later have no documented request for this over Wi-Fi or USB; set it on the camera.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The HERO12 Black has no GPS.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CameraRoster</name>
    <message>
        <source>The cameras on the home network are not reached: %1. Make it a file of your own that only you may change, or remove it and set the cameras up again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CameraStatusView</name>
    <message>
        <source>%1 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>charging</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Camera battery</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no card</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>card error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 GB free</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 MB free</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of video</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n photos</source>
        <translation>
            <numerusform>%n photo</numerusform>
            <numerusform>%n photos</numerusform>
        </translation>
    </message>
    <message>
        <source>Camera&apos;s SD card</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>● REC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Click for the camera&apos;s information.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CardReader</name>
    <message>
        <source>The camera&apos;s answer to the media list request is not a media list.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera&apos;s media list could not be read: %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DestinationView</name>
    <message>
        <source>Change…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hide downloaded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the folder downloads go to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Leave out of the grid the files already in the download folder</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Asked at the first download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The download folder is asked once, then remembered</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloads go to %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DownloadBatch</name>
    <message>
        <source>%1 (unsafe file name, skipped)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (cannot write: %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HTTP %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot rename: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloaded %1 of %2 files to %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n already there, skipped.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message>
        <source>Saved under new names: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no data for %1 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>every name is taken</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the camera sent another part of the file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stopped: downloaded %1 of %2 files to %3.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DownloadControl</name>
    <message>
        <source>Downloading %1 of %2: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is gone.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A download is already running; wait until it has finished.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Directory</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No camera answers: nothing to download.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download to</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is gone or not writable: choose where to download to.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DownloadRules</name>
    <message>
        <source>transfer failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 of %2 bytes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 bytes, the camera lists %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>resumed without a size to check</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no size given, it could be cut short</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FirstScreen</name>
    <message>
        <source>No camera answers yet</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect one of these ways; its files show here once it answers.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Bluetooth set-up…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Find cameras over Bluetooth; then choose one in the tool bar and press Connect.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Home network set-up…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera&apos;s Wi-Fi</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Switch on the camera&apos;s wireless connections and join its network (named like GP24645504) in this computer&apos;s network settings. Or let Bluetooth set-up read its name and password from the camera and join it for you.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A USB cable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plug the camera in, switched on: Velkamo finds it by itself within seconds. HERO8 and HERO9 first need USB Connection set to GoPro Connect on the camera.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Your home network</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A HERO12 or later once put on your home network is found there by itself. To put one there, connect it over Bluetooth first.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connection guide</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(F1): every way, step by step.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Put the camera connected over Bluetooth on your home network.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connect a HERO12 or later over Bluetooth first.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HomeCameraTrust</name>
    <message>
        <source>No camera set up at %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera at %1 is not trusted until it is set up again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera at %1 showed a certificate that is not its own; nothing more is sent to it. Set it up again over Bluetooth if it was reset.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera at %1 refused the password Velkamo has for it; nothing more is sent to it. Set it up again over Bluetooth if its password was changed or it was reset.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HomeNetworkDialog</name>
    <message>
        <source>Camera on the home network</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Join</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Scan again</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Password:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Networks the camera sees (the HERO12 joins only networks with internet access; on the home network the camera&apos;s own Wi-Fi is off):</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera is on “%1” at %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>known</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Secured with a password</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open network</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera sees no network.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose the network the camera should join.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HomeNetworkSetup</name>
    <message>
        <source>The camera&apos;s answer could not be read: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The Bluetooth link to the camera was lost.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera did not start joining “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera stopped joining “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Joining “%1” was cancelled on the camera.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera could not join “%1”: most likely this network has no internet access, which the HERO12 needs.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera could not join “%1”: it failed to associate with it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The password for “%1” is wrong.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera refuses to join “%1” until its terms of use are accepted (once, in the GoPro Quik app).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera could not join “%1”: this network has no internet access, which the HERO12 needs.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera could not join “%1”: this network has no internet access.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera cannot join “%1”: it does not support this kind of network.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The request could not be sent to the camera over Bluetooth.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Looking for the networks the camera sees…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Asking the camera to join “%1”…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera could not start a scan for networks.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera&apos;s scan for networks was stopped before it ended.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera did not list the networks it found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera refused to join “%1”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera joined “%1”. Creating its certificate…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera is joining “%1”…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera could not create its certificate.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Reading the camera&apos;s certificate…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera did not give its certificate.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Waiting for the camera&apos;s address on “%1”…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera did not finish its scan for networks in time.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera did not finish joining “%1” within %2 seconds.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera did not tell its address on “%1” within %2 seconds.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera did not answer for its certificate in time.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LivePreview</name>
    <message>
        <source>info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>please view stream %1 in 3rd applications</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Live preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>This camera sends its preview as %1 video, and no decoder for it is installed. Install the package gstreamer1.0-libav (sudo apt install gstreamer1.0-libav) and start the preview again, or tick &quot;3rd&quot; to watch the stream in another player.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LoopbackDevices</name>
    <message>
        <source>No v4l2loopback device: programs that use PipeWire see the camera, browsers and video-call programs need one. Install the package v4l2loopback-dkms and run:
%1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Every v4l2loopback device is in use (%1): programs that use PipeWire see the camera. To add one, unload the module when nothing uses it and run:
%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LossText</name>
    <message>
        <source>%1 GB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: every file on its card is erased.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: all %2 files (%3) on its card are erased.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: 1 file (%2) on its card is deleted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: %2 files (%3) on its card are deleted.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>No keyring: the password of %1 is kept until Velkamo closes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is on a camera on the home network: download it, then play it from your folder. Velkamo plays nothing straight from such a camera, whose certificate and password the player cannot check.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>More ways to download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download from all cameras</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A download from %1 is running. Stop it and switch cameras?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 could not be shown: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Opening %1: %2 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A download is running. Stop it and quit? Files already saved stay; the file being fetched is removed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A download is running: nothing is deleted from the card until it has finished or been stopped.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera reports itself as “%1”, a model Velkamo has no profile for. The controls stay those of %2; choose the closest model in “Select GoPro”.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Velkamo</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Capture Control</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Settings</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Change To</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>General Control</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GPS Tag</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Voice Control</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Quik Capture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Delete</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Preview Control</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>BitRate</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Window Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Activate the camera video stream and view it in 3rd applications (VLC, ffmpeg, etc.)&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3rd</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Power off the camera.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Format SD card.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>connection guide.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>show the app information.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>warning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maybe connection is lost.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CAUTION: Are you sure to format?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>write config failed!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>version: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>website: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open file failed!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Total media files: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warnning</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Are you sure to delete selected files?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera did not carry out %1 (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the camera shown changed from %2 to %3 while you were asked.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the camera</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was formatted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was downloaded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was deleted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set Clock</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set each camera&apos;s clock to this PC&apos;s time whenever it comes online, so that files of all cameras carry the same time.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Thumbnails per row</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera did not take %1 %2 (%3).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera took %1 %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Format card…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>remote control for GoPro HERO cameras.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Free software under the GNU General Public License, version 3 or later.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the card</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the command</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the setting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the download</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PictureFetcher</name>
    <message>
        <source>the camera sent no picture</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HTTP %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PreviewForm</name>
    <message>
        <source>%1 · 1 file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 · %2 files</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Form</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloaded</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Already in %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>RememberedCameras</name>
    <message>
        <source>%1 is a symbolic link</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be read: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a plain file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 belongs to another user</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 may be changed by other users</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is far too large for a list of cameras</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReplyLimit</name>
    <message>
        <source>no complete answer within %1 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>answer larger than %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SelectionStatus</name>
    <message>
        <source>Right-click, or the arrow beside: download from all cameras.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tick files to download them; the arrow beside downloads from all cameras.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tick files to delete them from the camera.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SelectionSummary</name>
    <message numerus="yes">
        <source>%n selected</source>
        <translation>
            <numerusform>%n selected</numerusform>
            <numerusform>%n selected</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Download %n files</source>
        <translation>
            <numerusform>Download %n file</numerusform>
            <numerusform>Download %n files</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Delete %n files</source>
        <translation>
            <numerusform>Delete %n file</numerusform>
            <numerusform>Delete %n files</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SettingRefusal</name>
    <message>
        <source>the camera does not offer this setting now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the camera does not offer this option now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1; it offers %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TileGrid</name>
    <message>
        <source>Select all</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Select none</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TransferPanel</name>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop the download; files already saved stay.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show in folder</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TransferRate</name>
    <message>
        <source>%1 of %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 s left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 min %2 s left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 h %2 min left</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WebcamControl</name>
    <message>
        <source>Off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Idle</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>High Power Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Low Power Preview</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unavailable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>status %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>None</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set Preset</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set Window Size</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exec Stream</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shutter</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Com timeout</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Invalid param</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>error %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Narrow</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SuperView</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Linear</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wide</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera is not reached.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera&apos;s model is not known yet.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The HERO%1 has no documented webcam mode: it takes a HERO9 or later.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The HERO%1 is a webcam over a USB cable only: plug it in.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 did not answer: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 refused webcam mode: HTTP %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 refused webcam mode: %2 (status %3: %4).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 did not start streaming: its webcam reads %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 no longer answers: the webcam has stopped.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 left webcam mode (it reads %2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 was unplugged: the webcam has stopped.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is gone: the webcam has stopped.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WebcamOutput</name>
    <message>
        <source>The GStreamer element &quot;%1&quot; is missing: install the package %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is there but this user may not write to it: add the user to the group &quot;video&quot; and log in again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be opened: %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a v4l2loopback device.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>GStreamer cannot start: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The webcam output cannot start.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The webcam output&apos;s GStreamer elements cannot be made.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The webcam output&apos;s GStreamer elements cannot be linked.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera&apos;s stream cannot be received on port %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The video cannot be written to %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The video cannot be offered through PipeWire (is it running?): %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera&apos;s stream cannot be decoded: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The webcam output stopped: %1</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>WebcamPanel</name>
    <message>
        <source>Use as webcam</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show the picture here</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The webcam&apos;s resolution and field of view</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a webcam and does nothing else: %2 waits until &quot;Use as webcam&quot; is unchecked.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is a webcam: other programs find it as %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The webcam of %1 stopped: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is no longer a webcam.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Another camera is a webcam on port %1 already, and the %2 cannot be told another: stop that one first.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is becoming a webcam (%2, %3)…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No camera is reached.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera does not answer.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The camera is leaving webcam mode.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Make the camera this PC&apos;s webcam, for video calls and recording programs.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Resolution</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Field of view</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>dlgshowpict</name>
    <message>
        <source>Dialog</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>mediaplayer</name>
    <message>
        <source>Default</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stalled %1%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Buffering %1%</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Service not available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The QMediaPlayer object does not have a valid service.
Please check the media service plugins are installed.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>

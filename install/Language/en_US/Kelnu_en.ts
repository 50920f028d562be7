<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>MainWindow</name>
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
        <source>info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>please view stream %1 in 3rd applications</source>
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

-- Commands of the UMTS/HSPA module family: its TCP/IP stack dialect, MMS,
-- file system, GNSS and audio commands.

-- 4 Network service ----------------------------------------------------------

INSERT INTO ATC VALUES ('AT+CESQ', 4,
'AT+CESQ  execute: +CESQ: <rxlev>,<ber>,<rscp>,<ecno>,<rsrq>,<rsrp>
<rscp>: 0..96 = received signal code power from -120 dBm to -25 dBm, 255 = not known
<ecno>: 0..49 = Ec/No from -24 dB to 0 dB, 255 = not known
values of other access technologies: 99 or 255',
'Extended signal quality: gives the UMTS measurements RSCP and Ec/No, which say more about a 3G cell than the RSSI of AT+CSQ.');

-- 6 SMS ----------------------------------------------------------------------

INSERT INTO ATC VALUES ('AT+JMGDA', 6,
'AT+JMGDA=<type>
<type>:
1 = delete all read messages
2 = delete all unread messages
3 = delete all sent messages
4 = delete all unsent messages
5 = delete all received messages
6 = delete all messages',
'Delete messages by type in one step. The SMS page uses AT+JMGDA=6 for its Delete all button.');

-- 7 Packet domain ------------------------------------------------------------

INSERT INTO ATC VALUES ('AT+CGEQREQ', 7,
'AT+CGEQREQ=[<cid>[,<Traffic class>[,<Maximum bitrate UL>[,<Maximum bitrate DL>[,<Guaranteed bitrate UL>[,<Guaranteed bitrate DL>[,...]]]]]]]
<Traffic class>: 0 conversational, 1 streaming, 2 interactive, 3 background
bit rates in kbit/s; 0 = subscribed value',
'3G quality of service profile (requested) for a context: traffic class and bit rates.');

INSERT INTO ATC VALUES ('AT+CGEQNEG', 7,
'AT+CGEQNEG[=<cid>[,<cid>...]]
Response: +CGEQNEG: <cid>,<Traffic class>,<Maximum bitrate UL>,<Maximum bitrate DL>,...',
'3G quality of service profile (negotiated): what the network granted to an active context.');

-- 8 TCP/IP stack -------------------------------------------------------------

INSERT INTO ATC VALUES ('AT+JICSGP', 8,
'AT+JICSGP=<cid>,<type>,"<APN>","<user>","<password>",<auth>  set
AT+JICSGP?  read
<cid>: context profile, 1
<type>: 1 = IPv4
<APN>: access point name
<auth>: 0 none, 1 PAP, 2 CHAP, 3 PAP or CHAP',
'Configure the context profile of the TCP/IP stack. The TCP/UDP page and the MMS worker send it with the APN, user name and password of the page; the locator page uses it for its PDP context.');

INSERT INTO ATC VALUES ('AT+JIACT', 8,
'AT+JIACT=<cid>  activate
AT+JIACT?  read: +JIACT: <cid>,<state>,<type>,"<address>"
<state>: 0 = deactivated, 1 = activated
<address>: the local IP address when activated',
'Activate a context profile. The TCP/UDP page activates profile 1 and then reads the local address with AT+JIACT?.');

INSERT INTO ATC VALUES ('AT+JIDEACT', 8,
'AT+JIDEACT=<cid>
Response: OK
Unsolicited: +JIURC: "PDPdeact",<cid> when the network ends the context',
'Deactivate a context profile; every connection on it is closed.');

INSERT INTO ATC VALUES ('AT+JIOPEN', 8,
'AT+JIOPEN=<cid>,<connectID>,"<service>","<address>",<port>,<local port>,<access mode>
<service>: "TCP" or "UDP"
<address>: IP address or domain name of the server
<access mode>: 0 = buffer (data are read with AT+JIRD), 1 = direct push
Responses: OK, then +JIOPEN: <connectID>,<err> (0 = opened)',
'Open a socket service. The TCP/UDP page opens connection 0 on context 1 and waits up to 150 seconds for the +JIOPEN result.');

INSERT INTO ATC VALUES ('AT+JISEND', 8,
'AT+JISEND=<connectID>  send: the module prompts with ">", write the data (at most 1460 bytes) and Ctrl-Z
AT+JISEND=<connectID>,0  query: +JISEND: <total>,<acked>,<unacked>
Responses to a send: SEND OK, SEND FAIL or ERROR',
'Send data on a socket, or ask how many sent bytes the server has acknowledged. The TCP/UDP page repeats the query until no byte is left unacknowledged.');

INSERT INTO ATC VALUES ('AT+JIRD', 8,
'AT+JIRD=<connectID>[,<read length>]
Response: +JIRD: <length>, then the data, then OK
Unsolicited before it: +JIURC: "recv",<connectID> (buffer mode)',
'Read received data of a socket in buffer access mode. The TCP/UDP page reads whenever +JIURC: "recv" arrives; the echo test reads with AT+JIRD=0,1500.');

INSERT INTO ATC VALUES ('AT+JICLOSE', 8,
'AT+JICLOSE=<connectID>
Response: OK',
'Close a socket service.');

-- 9 MMS ----------------------------------------------------------------------

INSERT INTO ATC VALUES ('AT+JMMSCFG', 9,
'AT+JMMSCFG="contextid",<cid>  context profile used for MMS
AT+JMMSCFG="mmsc","<url>"  URL of the MMS centre
AT+JMMSCFG="proxy","<address>",<port>  WAP proxy
AT+JMMSCFG="sendparam",<valid>,<pri>,<sendrep>,<readrep>,<visible>,<class>
AT+JMMSCFG="character","<charset>"  "ASCII", "UTF8", ... for the next title or text',
'Configure MMS. The MMS worker sets context, centre, proxy, send parameters and the character set of title and text before it composes a message.');

INSERT INTO ATC VALUES ('AT+JMMSEDIT', 9,
'AT+JMMSEDIT=<opt>,<mode>[,"<value>"]
<opt>: 0 = whole message, 1 = TO address, 2 = CC address, 3 = BCC address, 4 = title, 5 = attachment
<mode>: 0 = delete, 1 = add
AT+JMMSEDIT=0 clears the whole message
e.g. AT+JMMSEDIT=5,1,"RAM:picture.jpg" attaches an uploaded file',
'Edit the MMS message: recipients, title and attachments.');

INSERT INTO ATC VALUES ('AT+JMMSEND', 9,
'AT+JMMSEND[=<timeout>]
<timeout>: seconds to wait for the MMS centre, e.g. 150
Response: OK, then +JMMSEND: <result>,<http code>; result 0 = sent',
'Send the composed MMS message.');

-- 10 Audio -------------------------------------------------------------------

INSERT INTO ATC VALUES ('AT+JAUDPATH', 10,
'AT+JAUDPATH=<path>  set
AT+JAUDPATH?  read
AT+JAUDPATH=?  test
<path>: 0 = main (handset), 1 = auxiliary earphone, 2 = hands free',
'Select the audio path of RX50 modules. The voice call page sets it from its channel choice.');

INSERT INTO ATC VALUES ('AT+JDAI', 10,
'AT+JDAI=<mode>  set
AT+JDAI?  read
AT+JDAI=?  test
<mode>: 0 = analog audio, 1 = digital audio interface (PCM), 2 = digital audio interface as used with the audio codec of the evaluation board',
'Digital audio interface of RX70 modules. The environment check of the voice call page sends AT+JDAI=2 before a call test.');

INSERT INTO ATC VALUES ('AT+JAUDMOD', 10,
'AT+JAUDMOD=<mode>  set
AT+JAUDMOD?  read
AT+JAUDMOD=?  test
<mode>: 0 = handset, 1 = headset, 2 = hands free',
'Select the audio mode of KV33 modules; chosen by the channel setting of the voice call page.');

INSERT INTO ATC VALUES ('AT+JDAC', 10,
'AT+JDAC=<mode>
<mode>: 3 = audio through the digital-to-analog converter of the evaluation board',
'Audio converter set-up of KV33 modules; the environment check of the voice call page sends AT+JDAC=3 before a call test.');

INSERT INTO ATC VALUES ('AT+JMIC', 10,
'AT+JMIC=<channel>,<gain>,<gain2>  set
AT+JMIC?  read
AT+JMIC=?  test
<channel>: audio channel, 1
<gain>: microphone amplification step
<gain2>: second (digital) amplification step',
'Change the microphone gain of the UMTS/HSPA family (three values, unlike the GSM family).');

-- 11 Positioning -------------------------------------------------------------

INSERT INTO ATC VALUES ('AT+JGPS', 11,
'AT+JGPS=<mode>  set
AT+JGPS?  read: +JGPS: <mode>
<mode>: 0 = GNSS engine off, 1 = GNSS engine on (NMEA sentences on the NMEA port)',
'Switch the GNSS engine on. The GNSS page sends AT+JGPS=1 when it connects its NMEA port with automatic start chosen.');

INSERT INTO ATC VALUES ('AT+JGPSEND', 11,
'AT+JGPSEND
Response: OK',
'Switch the GNSS engine off; the GNSS page sends it when it disconnects the NMEA port.');

INSERT INTO ATC VALUES ('AT+JGPSLOC', 11,
'AT+JGPSLOC?  read: +JGPSLOC: <UTC>,<latitude>,<longitude>,<hdop>,<altitude>,...
<latitude>: ddmm.mmmm followed by N or S
<longitude>: dddmm.mmmm followed by E or W
ERROR when there is no fix yet',
'Get the current position of the GNSS engine as one line.');

-- 12 Module specific ---------------------------------------------------------

INSERT INTO ATC VALUES ('AT+JURCCFG', 12,
'AT+JURCCFG="URCPORT","<port>"  set
AT+JURCCFG="URCPORT"  read
<port>: "uart1" = the main serial port, "usbat" = the USB AT port, "usbmodem" = the USB modem port',
'Choose the port on which the module sends unsolicited result codes (RING, +CMTI, +JIURC ...). The connection page points them at the port the program is connected to.');

INSERT INTO ATC VALUES ('AT+JFUPL', 12,
'AT+JFUPL="<name>",<size>[,<timeout>[,<ackmode>]]
<name>: file name with storage, e.g. "RAM:picture.jpg"
<size>: bytes to upload
<timeout>: seconds to wait for the data, e.g. 300
Response: CONNECT, then write exactly <size> bytes; +JFUPL: <size>,<checksum> and OK',
'Upload a file to the file system of the module. The MMS worker uploads its attachments to RAM with it.');

INSERT INTO ATC VALUES ('AT+JFDEL', 12,
'AT+JFDEL="<name>"
<name>: file name with storage, e.g. "RAM:picture.jpg"; "RAM:*" deletes every RAM file',
'Delete a file from the file system of the module.');

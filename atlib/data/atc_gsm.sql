-- Commands of the GSM module family: its own TCP/IP stack dialect, audio
-- channel and microphone commands.

-- 8 TCP/IP stack -------------------------------------------------------------

INSERT INTO ATC VALUES ('AT+JIFGCNT', 8,
'AT+JIFGCNT=<n>  set
AT+JIFGCNT?  read: +JIFGCNT: <n>
<n>: 0 = foreground context 0, the one the TCP/IP stack uses',
'Select the foreground context of the TCP/IP stack. The locator page chooses context 0 with it before setting the bearer.');

INSERT INTO ATC VALUES ('AT+JIMODE', 8,
'AT+JIMODE=<mode>  set
AT+JIMODE?  read
<mode>:
0 = non-transparent: data sent with AT+JISEND, received data announced with a header
1 = transparent: after CONNECT OK the serial line carries the socket data directly',
'Select the TCP/IP stack mode. The TCP/UDP page works in non-transparent mode and sends AT+JIMODE=0 before it activates the context.');

INSERT INTO ATC VALUES ('AT+JICSGP', 8,
'AT+JICSGP=1,"<APN>"[,"<user>","<password>"[,<auth>]]  GPRS bearer
AT+JICSGP=0,...  CSD bearer
AT+JICSGP?  read: +JICSGP: <mode> (0 CSD, 1 GPRS)
<APN>: access point name, e.g. "CMNET"
<auth>: 0 = PAP, 1 = CHAP',
'Set the bearer of the TCP/IP stack and its access point. The TCP/UDP page sends the short form with the APN alone when no authentication is chosen, else the long form with user name and password.');

INSERT INTO ATC VALUES ('AT+JIREGAPP', 8,
'AT+JIREGAPP
Response: OK, or ERROR when the task already runs or no bearer is set',
'Start the TCP/IP task: registers the application with the stack using the bearer set by AT+JICSGP. Must come before AT+JIACT.');

INSERT INTO ATC VALUES ('AT+JIACT', 8,
'AT+JIACT
Response: OK when the GPRS context is up, ERROR otherwise (may take several seconds)',
'Activate the GPRS context of the TCP/IP stack. Afterwards AT+JILOCIP gives the local address.');

INSERT INTO ATC VALUES ('AT+JILOCIP', 8,
'AT+JILOCIP
Response: the local IP address on a line of its own, e.g. 10.23.45.67 (no OK follows)',
'Get the local IP address of the active context. The TCP/UDP page shows it as the IP address of the module.');

INSERT INTO ATC VALUES ('AT+JIDEACT', 8,
'AT+JIDEACT
Response: OK (the module may report +PDP DEACT when the network ends the context)',
'Deactivate the GPRS context; open connections are closed with it.');

INSERT INTO ATC VALUES ('AT+JIHEAD', 8,
'AT+JIHEAD=<n>
<n>: 0 = received data arrive bare, 1 = each block is preceded by a header IPD<length>: (e.g. IPD12:)',
'Add a header to received data. The TCP/UDP page switches the header on so that it can cut the received data by their length.');

INSERT INTO ATC VALUES ('AT+JIDNSIP', 8,
'AT+JIDNSIP=<n>
<n>: 0 = the server of AT+JIOPEN is an IP address, 1 = it is a domain name',
'Choose how AT+JIOPEN names the server: by address or by domain name, which the module then resolves.');

INSERT INTO ATC VALUES ('AT+JIOPEN', 8,
'AT+JIOPEN="<mode>","<address>","<port>"
<mode>: "TCP" or "UDP"
<address>: IP address or domain name (see AT+JIDNSIP)
<port>: server port
Responses: OK, then CONNECT OK, ALREADY CONNECT, CONNECT FAIL or ERROR',
'Open a TCP connection or UDP session to a server. The TCP/UDP page waits for CONNECT OK before it allows sending.');

INSERT INTO ATC VALUES ('AT+JISEND', 8,
'AT+JISEND <CR>
The module answers with the prompt ">"; write the data (at most 1460 bytes), then Ctrl-Z (0x1A) to send or ESC to cancel.
Responses: SEND OK, SEND FAIL or ERROR',
'Send data on the open connection.');

INSERT INTO ATC VALUES ('AT+JISACK', 8,
'AT+JISACK
Response: +JISACK: <sent>,<acked>,<nacked>
<sent>: bytes sent on the connection
<acked>: bytes the server has acknowledged
<nacked>: bytes not acknowledged yet; 0 = everything has arrived',
'Query the data transmitting state of a TCP connection. The TCP/UDP page repeats it until no byte is left unacknowledged.');

INSERT INTO ATC VALUES ('AT+JICLOSE', 8,
'AT+JICLOSE
Response: CLOSE OK or OK; ERROR when no connection is open',
'Close the TCP connection or UDP session.');

-- 10 Audio -------------------------------------------------------------------

INSERT INTO ATC VALUES ('AT+JAUDCH', 10,
'AT+JAUDCH=<channel>  set
AT+JAUDCH?  read: +JAUDCH: <channel>
AT+JAUDCH=?  test
<channel>:
0 = main (normal) audio channel
1 = auxiliary earphone
2 = hands free',
'Select the audio channel of the GSM family. The voice call page sets it from its Main, Auxiliary and Hands free choice.');

INSERT INTO ATC VALUES ('AT+JMIC', 10,
'AT+JMIC=<channel>,<gain>  set
AT+JMIC?  read: +JMIC: <gain main>,<gain auxiliary>,<gain hands free>
AT+JMIC=?  test: +JMIC: (list of <channel>),(range of <gain>)
<channel>: 0 main, 1 auxiliary, 2 hands free
<gain>: microphone amplification step',
'Change the microphone gain of one audio channel.');

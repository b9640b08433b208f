-- Commands both module families understand: ITU-T V.250, 3GPP TS 27.007 and
-- 27.005, and the maker's "+J" commands that behave alike in both families.
-- Columns: command, classification index, parameter reference, function.
-- Texts use plain line feeds here; atc_finish.sql turns them into CR LF.

-- 1 General ------------------------------------------------------------------

INSERT INTO ATC VALUES ('AT', 1,
'AT
Response: OK',
'Attention command with nothing after it. An OK shows that the module is powered, the serial link works and baud rate and framing match. The program sends it up to ten times, every 500 ms, to synchronise before anything else.');

INSERT INTO ATC VALUES ('ATI', 1,
'ATI[<n>]
Response: lines of identification text, then OK
<n>: 0 or omitted = manufacturer, model and revision',
'Product identification. The module lists its maker, its model and its firmware revision, one per line. The connection page reads the model and the revision line from the reply to tell the module family and sub-model apart.');

INSERT INTO ATC VALUES ('AT+CGMI', 1,
'AT+CGMI=?  test
AT+CGMI  execute
Response: <manufacturer>
OK',
'Request manufacturer identification: the name of the module maker as free text.');

INSERT INTO ATC VALUES ('AT+CGMM', 1,
'AT+CGMM=?  test
AT+CGMM  execute
Response: <model>
OK',
'Request model identification: the model name of the module as free text.');

INSERT INTO ATC VALUES ('AT+CGMR', 1,
'AT+CGMR=?  test
AT+CGMR  execute
Response: <revision>
OK',
'Request revision identification: the firmware version of the module. Quote it when reporting a fault to the module maker.');

INSERT INTO ATC VALUES ('AT+CGSN', 1,
'AT+CGSN=?  test
AT+CGSN  execute
Response: <sn>
OK
<sn>: the IMEI, 15 digits',
'Request product serial number identification, which for a cellular module is its IMEI.');

INSERT INTO ATC VALUES ('AT+GSN', 1,
'AT+GSN
Response: <sn>
OK
<sn>: the IMEI, 15 digits',
'V.250 form of the serial number request; gives the IMEI of the module. The connection page sends it after ATI to check that the module answers identification requests.');

INSERT INTO ATC VALUES ('AT+GMI', 1,
'AT+GMI
Response: <manufacturer>
OK',
'V.250 manufacturer identification, the same text as AT+CGMI.');

INSERT INTO ATC VALUES ('AT+GMM', 1,
'AT+GMM
Response: <model>
OK',
'V.250 model identification, the same text as AT+CGMM.');

INSERT INTO ATC VALUES ('AT+GMR', 1,
'AT+GMR
Response: <revision>
OK',
'V.250 revision identification, the same text as AT+CGMR.');

INSERT INTO ATC VALUES ('ATZ', 1,
'ATZ[<value>]
<value>: 0 = profile 0 (the only one on most modules)
Response: OK',
'Reset to the stored user profile. Any call in progress is ended and the settings saved with AT&W are loaded again.');

INSERT INTO ATC VALUES ('AT&F', 1,
'AT&F[<value>]
<value>: 0 = factory defaults
Response: OK',
'Set all parameters to their factory defaults. Echo, result code format, error reporting and serial settings are reset; use AT&W afterwards to make them the stored profile.');

INSERT INTO ATC VALUES ('AT&W', 1,
'AT&W[<n>]
<n>: 0 = user profile 0
Response: OK or ERROR',
'Store the current settings (echo, result codes, baud rate and the other profile parameters) as the user profile, so that they survive a power cycle. The connection page sends it after fixing an automatic baud rate with AT+IPR.');

INSERT INTO ATC VALUES ('AT&V', 1,
'AT&V
Response: the current settings, then OK',
'Display the current configuration: the values of the profile parameters and S registers in a readable list.');

INSERT INTO ATC VALUES ('ATE', 1,
'ATE<value>
<value>:
0 = the module does not echo what it receives
1 = the module echoes every character it receives (default)',
'Command echo. The program switches echo on with ATE1 because several steps look for the echoed command in the reply; with echo off those steps wait until their time-out.');

INSERT INTO ATC VALUES ('ATV', 1,
'ATV<value>
<value>:
0 = numeric result codes (0 OK, 1 CONNECT, 2 RING, 3 NO CARRIER, 4 ERROR, ...)
1 = verbose result codes (OK, CONNECT, RING, NO CARRIER, ERROR, ...)',
'Result code format. The program sends ATV1 at connection time and expects verbose result codes; during synchronisation a module that still answers 0 is accepted as well.');

INSERT INTO ATC VALUES ('ATQ', 1,
'ATQ<value>
<value>:
0 = result codes are sent (default)
1 = result codes are suppressed',
'Result code suppression. With ATQ1 the module sends no OK or ERROR, so every step of the program times out: leave it at 0.');

INSERT INTO ATC VALUES ('ATS3', 1,
'ATS3=<value>  set
ATS3?  read
<value>: 0..127, default 13 (CR)',
'Command line termination character. The program ends every command with CR LF; keep S3 at 13.');

INSERT INTO ATC VALUES ('ATS4', 1,
'ATS4=<value>  set
ATS4?  read
<value>: 0..127, default 10 (LF)',
'Response formatting character, sent after the S3 character around every result line.');

INSERT INTO ATC VALUES ('ATS5', 1,
'ATS5=<value>  set
ATS5?  read
<value>: 0..127, default 8 (backspace)',
'Command line editing character: the character that deletes the previous one on the command line.');

INSERT INTO ATC VALUES ('AT+CMEE', 1,
'AT+CMEE=[<n>]  set
AT+CMEE?  read: +CMEE: <n>
AT+CMEE=?  test: +CMEE: (list of <n>)
<n>:
0 = plain ERROR only
1 = +CME ERROR: <err> with a numeric code
2 = +CME ERROR: <err> with verbose text',
'Report mobile termination error. The program sends AT+CMEE=2 at connection time so that failures name their cause, for example +CME ERROR: SIM not inserted (numeric 10).');

INSERT INTO ATC VALUES ('AT+CFUN', 1,
'AT+CFUN=[<fun>[,<rst>]]  set
AT+CFUN?  read: +CFUN: <fun>
AT+CFUN=?  test
<fun>:
0 = minimum functionality
1 = full functionality
4 = transmit and receive circuits off (flight mode)
<rst>:
0 = no reset before setting <fun>
1 = reset the module first',
'Set phone functionality. AT+CFUN=4 takes the module off the air without powering it down; AT+CFUN=1,1 restarts it.');

INSERT INTO ATC VALUES ('AT+CPAS', 1,
'AT+CPAS  execute: +CPAS: <pas>
AT+CPAS=?  test
<pas>:
0 = ready
2 = unknown
3 = ringing
4 = call in progress',
'Phone activity status: whether the module can take commands, is ringing or has a call in progress.');

INSERT INTO ATC VALUES ('AT+CCLK', 1,
'AT+CCLK=<time>  set
AT+CCLK?  read: +CCLK: <time>
<time>: "yy/MM/dd,hh:mm:ss+zz", zz = time zone in quarters of an hour',
'Real-time clock of the module. The time stamps of stored SMS and of call logs come from this clock.');

INSERT INTO ATC VALUES ('AT+CSCS', 1,
'AT+CSCS=[<chset>]  set
AT+CSCS?  read: +CSCS: <chset>
AT+CSCS=?  test: +CSCS: (list of <chset>)
<chset>:
"GSM" = GSM 7-bit default alphabet
"IRA" = international reference alphabet (ASCII)
"UCS2" = 16-bit Unicode, written as hexadecimal text
"HEX" = hexadecimal text of the raw octets',
'Select TE character set: how the module writes and reads texts such as SMS bodies in text mode and phone book names. The SMS page sets "GSM" for plain text and "UCS2" for messages in other scripts.');

INSERT INTO ATC VALUES ('AT+CEER', 1,
'AT+CEER  execute: +CEER: <report>
AT+CEER=?  test',
'Extended error report: the network cause of the last failed call set-up, the last call release or the last failed packet context activation, as text.');

INSERT INTO ATC VALUES ('AT+CLAC', 1,
'AT+CLAC  execute: one supported command per line, then OK
AT+CLAC=?  test',
'List all available AT commands of the module. Handy for comparing a module with this library.');

INSERT INTO ATC VALUES ('AT+GCAP', 1,
'AT+GCAP
Response: +GCAP: <list>, e.g. +GCAP: +CGSM,+FCLASS,+DS
OK',
'Request complete capabilities list: the command families the module supports, such as +CGSM for the GSM commands.');

INSERT INTO ATC VALUES ('A/', 1,
'A/
(no AT prefix and no line end needed)',
'Repeat the previous command line. Handy when polling a value such as AT+CSQ by hand.');

INSERT INTO ATC VALUES ('AT+CTZR', 1,
'AT+CTZR=[<reporting>]  set
AT+CTZR?  read
<reporting>: 0 = off, 1 = +CTZV: <tz> when the network announces a new time zone',
'Time zone reporting: tells when the network changes the local time zone.');

INSERT INTO ATC VALUES ('AT+CTZU', 1,
'AT+CTZU=[<onoff>]  set
AT+CTZU?  read
<onoff>: 0 = keep the clock, 1 = set the clock from the network time',
'Automatic time zone update: lets the network set the clock of AT+CCLK.');

-- 2 Serial interface ---------------------------------------------------------

INSERT INTO ATC VALUES ('AT+IPR', 2,
'AT+IPR=<rate>  set
AT+IPR?  read: +IPR: <rate>
AT+IPR=?  test: +IPR: (list of automatic rates),(list of fixed rates)
<rate>: baud rate in bit/s, e.g. 9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600;
0 = automatic baud rate detection',
'Fixed DTE rate. The connection page reads it; when the module is in automatic mode (0) it fixes the rate to the port baud rate with AT+IPR=<rate> and stores it with AT&W, so the module no longer depends on detecting the rate from the first AT.');

INSERT INTO ATC VALUES ('AT+ICF', 2,
'AT+ICF=[<format>[,<parity>]]  set
AT+ICF?  read: +ICF: <format>,<parity>
<format>: 1 = 8 data 2 stop, 2 = 8 data 1 parity 1 stop, 3 = 8 data 1 stop, 4 = 7 data 2 stop, 5 = 7 data 1 parity 1 stop, 6 = 7 data 1 stop
<parity>: 0 = odd, 1 = even, 2 = mark, 3 = space',
'DTE-DCE character framing. Must match the data bits, parity and stop bits chosen in the port settings of the program.');

INSERT INTO ATC VALUES ('AT+IFC', 2,
'AT+IFC=[<dce_by_dte>[,<dte_by_dce>]]  set
AT+IFC?  read: +IFC: <dce_by_dte>,<dte_by_dce>
<dce_by_dte>, <dte_by_dce>: 0 = none, 1 = XON/XOFF, 2 = RTS (from the computer) / CTS (from the module)',
'DTE-DCE local flow control. Use 2,2 with hardware handshake; pick the same flow control in the port settings of the program.');

INSERT INTO ATC VALUES ('AT&C', 2,
'AT&C[<value>]
<value>:
0 = DCD always on
1 = DCD follows the data carrier (on while a data or PPP connection is up)',
'Circuit 109 (DCD) behaviour. With 1 the DCD indicator of the terminal shows whether a data connection is up.');

INSERT INTO ATC VALUES ('AT&D', 2,
'AT&D[<value>]
<value>:
0 = DTR changes are ignored
1 = DTR on to off: back to command mode, the connection stays
2 = DTR on to off: the connection is ended',
'Circuit 108 (DTR) behaviour: what the module does when the computer drops DTR during a data connection.');

INSERT INTO ATC VALUES ('AT+CMUX', 2,
'AT+CMUX=<mode>[,<subset>[,<port_speed>[,<N1>[,<T1>[,<N2>[,<T2>[,<T3>]]]]]]]  set
AT+CMUX?  read
AT+CMUX=?  test
<mode>: 0 = basic option, 1 = advanced option
<N1>: maximum frame size',
'Start the 3GPP TS 27.010 multiplexer on the serial link: afterwards several virtual channels (AT, data, NMEA) share the one line. This program talks plain AT and does not use it.');

-- 3 Call control -------------------------------------------------------------

INSERT INTO ATC VALUES ('ATD', 3,
'ATD<number>[;]
<number>: digits 0-9, *, #, +, A-D; a leading + marks an international number
; at the end = voice call; without it = data call
Examples: ATD10086;  voice call
ATD*99#  packet data call on the default context (PPP)
Responses: OK (voice call set up), CONNECT (data), NO CARRIER, BUSY, NO ANSWER, NO DIALTONE',
'Dial a number. The voice call page dials with the semicolon; the PPP page dials *99# without it and then negotiates PPP on the same line.');

INSERT INTO ATC VALUES ('ATD*99#', 7,
'ATD*99[*<called_address>][*[<L2P>][*[<cid>]]]#
<cid>: the PDP context defined with AT+CGDCONT, default 1
Response: CONNECT, then PPP frames; NO CARRIER when the attempt fails',
'Request packet domain service. The module switches to data mode and the computer starts PPP (LCP, authentication, IPCP) on the serial line. This is the dial of the PPP page.');

INSERT INTO ATC VALUES ('ATA', 3,
'ATA
Responses: OK (voice call answered), CONNECT (data call), NO CARRIER',
'Answer an incoming call that is signalled with RING or +CRING.');

INSERT INTO ATC VALUES ('ATH', 3,
'ATH[<n>]
<n>: 0 = hang up
Response: OK',
'Hook control: ends the current call. In data mode, send +++ first (with a second of silence before and after) to get back to command mode.');

INSERT INTO ATC VALUES ('ATO', 3,
'ATO[<n>]
<n>: 0 = return to the data state
Response: CONNECT, or NO CARRIER when no connection is left',
'Return to online data state after +++ escaped to command mode while a data connection or PPP link was up. The PPP page offers it as "Data mode".');

INSERT INTO ATC VALUES ('ATS0', 3,
'ATS0=<n>  set
ATS0?  read
<n>: 0 = no automatic answer; 1..255 = answer after that many rings',
'Automatic answering of incoming calls.');

INSERT INTO ATC VALUES ('AT+CHUP', 3,
'AT+CHUP  execute
AT+CHUP=?  test
Response: OK',
'Hang up call: ends the voice call in progress, like ATH but defined for voice calls in 3GPP TS 27.007.');

INSERT INTO ATC VALUES ('AT+CLCC', 3,
'AT+CLCC  execute
Response per call: +CLCC: <id>,<dir>,<stat>,<mode>,<mpty>[,<number>,<type>]
<dir>: 0 = mobile originated, 1 = mobile terminated
<stat>: 0 active, 1 held, 2 dialling, 3 alerting, 4 incoming, 5 waiting
<mode>: 0 voice, 1 data, 2 fax
<mpty>: 1 = part of a conference
<type>: 129 national or unknown, 145 international',
'List current calls. The voice call page polls it to follow the state of a call it dialled or answered.');

INSERT INTO ATC VALUES ('AT+CRC', 3,
'AT+CRC=[<mode>]  set
AT+CRC?  read
<mode>: 0 = incoming calls shown as RING; 1 = shown as +CRING: <type> (VOICE, ASYNC, GPRS ...)',
'Cellular result codes for incoming calls: tells voice, data and network-initiated packet calls apart.');

INSERT INTO ATC VALUES ('AT+CLIP', 3,
'AT+CLIP=[<n>]  set
AT+CLIP?  read: +CLIP: <n>,<m>
<n>: 0 = no caller number, 1 = +CLIP: <number>,<type> after each RING
<m>: 0 not provisioned, 1 provisioned, 2 unknown',
'Calling line identification presentation: show the number of the caller with every ring.');

INSERT INTO ATC VALUES ('AT+CLIR', 3,
'AT+CLIR=[<n>]  set
AT+CLIR?  read: +CLIR: <n>,<m>
<n>: 0 = as subscribed, 1 = hide own number, 2 = show own number',
'Calling line identification restriction for outgoing calls.');

INSERT INTO ATC VALUES ('AT+COLP', 3,
'AT+COLP=[<n>]  set
AT+COLP?  read
<n>: 0 = off, 1 = +COLP: <number>,<type> when the called party answers',
'Connected line identification presentation: the number of the party that actually answered an outgoing call.');

INSERT INTO ATC VALUES ('AT+CCWA', 3,
'AT+CCWA=[<n>[,<mode>[,<class>]]]  set
<n>: 0/1 = +CCWA result code off/on
<mode>: 0 = disable, 1 = enable, 2 = query status
<class>: 1 = voice',
'Call waiting: lets a second incoming call be signalled during a call.');

INSERT INTO ATC VALUES ('AT+CHLD', 3,
'AT+CHLD=[<n>]
<n>:
0 = release held calls or reject the waiting call
1 = release active calls and accept the other call
1x = release call x
2 = place active calls on hold and accept the other call
2x = hold all calls except call x
3 = add the held call to the conversation',
'Call hold and multiparty: handles waiting, held and conference calls.');

INSERT INTO ATC VALUES ('AT+CCFC', 3,
'AT+CCFC=<reason>,<mode>[,<number>[,<type>[,<class>[,<subaddr>[,<satype>[,<time>]]]]]]
<reason>: 0 unconditional, 1 busy, 2 no reply, 3 not reachable, 4 all, 5 all conditional
<mode>: 0 disable, 1 enable, 2 query, 3 registration, 4 erasure
<time>: for no reply, 5..30 seconds',
'Call forwarding number and conditions.');

INSERT INTO ATC VALUES ('AT+VTS', 3,
'AT+VTS=<DTMF>
<DTMF>: one character of 0-9, #, *, A-D',
'DTMF and tone generation: sends a key tone during a voice call, for example to drive a voice menu.');

INSERT INTO ATC VALUES ('AT+CBST', 3,
'AT+CBST=[<speed>[,<name>[,<ce>]]]  set
AT+CBST?  read
<speed>: 0 = automatic, 7 = 9600 bit/s V.32, 71 = 9600 bit/s V.110 ...
<name>: 0 = asynchronous modem
<ce>: 0 = transparent, 1 = non-transparent',
'Select bearer service type for circuit switched data calls.');

INSERT INTO ATC VALUES ('AT+CSSN', 3,
'AT+CSSN=[<n>[,<m>]]  set
<n>: 1 = +CSSI: <code1> while setting up an outgoing call
<m>: 1 = +CSSU: <code2> during a call',
'Supplementary service notifications such as "call is forwarded" or "call is on hold".');

-- 4 Network service ----------------------------------------------------------

INSERT INTO ATC VALUES ('AT+CSQ', 4,
'AT+CSQ  execute: +CSQ: <rssi>,<ber>
AT+CSQ=?  test: +CSQ: (list of <rssi>),(list of <ber>)
<rssi>:
0 = -113 dBm or less
1 = -111 dBm
2..30 = -109..-53 dBm in steps of 2 dB
31 = -51 dBm or more
99 = not known or not detectable
<ber>: 0..7 = RXQUAL, 99 = not known',
'Signal quality. The connection page reads it up to five times and shows the strength in the title strip. Values below about 10 make calls and data unreliable.');

INSERT INTO ATC VALUES ('AT+CREG', 4,
'AT+CREG=[<n>]  set
AT+CREG?  read: +CREG: <n>,<stat>[,<lac>,<ci>[,<AcT>]]
<n>: 0 = no unsolicited code, 1 = +CREG: <stat> on changes, 2 = also location area and cell
<stat>:
0 = not registered, not searching
1 = registered, home network
2 = not registered, searching
3 = registration denied
4 = unknown
5 = registered, roaming
<lac>: location area code, 4 hex digits; <ci>: cell id in hex',
'Network registration (circuit switched). The connection page waits for stat 1 or 5 before it calls the module ready for calls and SMS.');

INSERT INTO ATC VALUES ('AT+COPS', 4,
'AT+COPS=[<mode>[,<format>[,<oper>[,<AcT>]]]]  set
AT+COPS?  read: +COPS: <mode>[,<format>,<oper>[,<AcT>]]
AT+COPS=?  test: +COPS: list of (<stat>,long name,short name,numeric[,<AcT>])
<mode>: 0 automatic, 1 manual, 2 deregister, 3 set <format> only, 4 manual then automatic
<format>: 0 long name, 1 short name, 2 numeric (MCC and MNC)
<AcT>: 0 GSM, 2 UTRAN, 3 GSM with EGPRS, 4 UTRAN with HSDPA, 6 UTRAN with HSDPA and HSUPA, 7 E-UTRAN',
'Operator selection. The connection page reads the current operator name. The test form scans for all networks and can take a minute or more.');

INSERT INTO ATC VALUES ('AT+CPOL', 4,
'AT+CPOL=[<index>][,<format>[,<oper>]]  set
AT+CPOL?  read: +CPOL: <index>,<format>,<oper> per entry',
'Preferred operator list on the SIM, used for the network choice when roaming.');

INSERT INTO ATC VALUES ('AT+COPN', 4,
'AT+COPN  execute: +COPN: <numeric>,<alpha> per operator',
'Read operator names: the table of numeric network codes and their names that the module knows.');

INSERT INTO ATC VALUES ('AT+CNUM', 4,
'AT+CNUM  execute: +CNUM: [<alpha>],<number>,<type> per own number',
'Subscriber number: the own phone numbers stored on the SIM, when the operator has written them there.');

INSERT INTO ATC VALUES ('AT+CLCK', 4,
'AT+CLCK=<fac>,<mode>[,<passwd>[,<class>]]
<fac>: "SC" SIM PIN, "AO" bar all outgoing, "OI" bar outgoing international, "AI" bar all incoming, "FD" fixed dialling ...
<mode>: 0 unlock, 1 lock, 2 query status
Response to a query: +CLCK: <status> (0 not active, 1 active)',
'Facility lock: switches the SIM PIN request on or off and controls call barring.');

INSERT INTO ATC VALUES ('AT+CPWD', 4,
'AT+CPWD=<fac>,<oldpwd>,<newpwd>
<fac>: "SC" SIM PIN, "P2" SIM PIN2, "AB" call barring password ...',
'Change password: sets a new PIN or barring password after giving the old one.');

INSERT INTO ATC VALUES ('AT+CUSD', 4,
'AT+CUSD=[<n>[,<str>[,<dcs>]]]
<n>: 0 = result code off, 1 = on, 2 = cancel the session
<str>: the USSD string, e.g. "*100#"
<dcs>: data coding scheme, 15 = default alphabet
Answer: +CUSD: <m>[,<str>,<dcs>]',
'Unstructured supplementary service data: operator menus such as balance queries.');

INSERT INTO ATC VALUES ('AT+CMER', 4,
'AT+CMER=[<mode>[,<keyp>[,<disp>[,<ind>[,<bfr>]]]]]
<ind>: 0 = no indicator events, 1 = +CIEV: <ind>,<value> when an indicator changes',
'Mobile termination event reporting: switches on the +CIEV indications of signal, service and call state.');

INSERT INTO ATC VALUES ('AT+CIND', 4,
'AT+CIND?  read: +CIND: <value>,<value>...
AT+CIND=?  test: +CIND: (<name>,(range))... e.g. ("signal",(0-5)),("service",(0-1)),("call",(0-1))',
'Indicator control: reads the state indicators such as signal bars, service and call in progress.');

-- 5 SIM ----------------------------------------------------------------------

INSERT INTO ATC VALUES ('AT+CPIN', 5,
'AT+CPIN=<pin>[,<newpin>]  set
AT+CPIN?  read: +CPIN: <code>
<code>:
READY = no password needed
SIM PIN = waiting for the PIN
SIM PUK = waiting for the PUK (after three wrong PINs), then a new PIN
SIM PIN2, SIM PUK2 = the same for PIN2
Errors: +CME ERROR: 10 (SIM not inserted), 11 (SIM PIN required), 12 (SIM PUK required), 13 (SIM failure)',
'Enter PIN and read the SIM lock state. The connection page requires +CPIN: READY; with +CME ERROR: 10 it asks for a SIM card to be inserted, otherwise for the SIM to be unlocked.');

INSERT INTO ATC VALUES ('AT+CIMI', 5,
'AT+CIMI  execute: <IMSI>
AT+CIMI=?  test
<IMSI>: up to 15 digits: MCC (3 digits), MNC (2 or 3 digits), subscriber number',
'Request international mobile subscriber identity. The connection page shows the IMSI and takes the MCC and MNC from it to look up the recommended access point of the network in the APN list.');

INSERT INTO ATC VALUES ('AT+JCCID', 5,
'AT+JCCID  execute: +JCCID: <iccid>
<iccid>: the 19 or 20 digits printed on the SIM card',
'Read the ICCID, the serial number of the SIM card. The connection page shows it in the SIM information.');

INSERT INTO ATC VALUES ('AT+CRSM', 5,
'AT+CRSM=<command>[,<fileid>[,<P1>,<P2>,<P3>[,<data>]]]
<command>: 176 READ BINARY, 178 READ RECORD, 192 GET RESPONSE, 214 UPDATE BINARY, 220 UPDATE RECORD, 242 STATUS
<fileid>: elementary file, e.g. 28423 (6F07) = IMSI, 12258 (2FE2) = ICCID
Response: +CRSM: <sw1>,<sw2>[,<response>]',
'Restricted SIM access: reads and writes SIM files by file id, without the details of the SIM protocol.');

INSERT INTO ATC VALUES ('AT+CSIM', 5,
'AT+CSIM=<length>,<command>
<length>: number of hex characters in <command>
<command>: APDU as hexadecimal text
Response: +CSIM: <length>,<response>',
'Generic SIM access: passes a raw APDU to the SIM and returns its answer.');

INSERT INTO ATC VALUES ('AT+CPBS', 5,
'AT+CPBS=<storage>  set
AT+CPBS?  read: +CPBS: <storage>[,<used>,<total>]
<storage>: "SM" SIM phone book, "FD" fixed dialling, "ON" own numbers, "ME" module memory, "LD" last dialled, "MC" missed calls, "RC" received calls',
'Select phonebook memory storage for the other phone book commands.');

INSERT INTO ATC VALUES ('AT+CPBR', 5,
'AT+CPBR=<index1>[,<index2>]  read entries
AT+CPBR=?  test: +CPBR: (range of indexes),<nlength>,<tlength>
Response: +CPBR: <index>,<number>,<type>,<text> per entry',
'Read phonebook entries of the selected storage; names are in the character set of AT+CSCS.');

INSERT INTO ATC VALUES ('AT+CPBW', 5,
'AT+CPBW=[<index>][,<number>[,<type>[,<text>]]]
<index> alone: deletes that entry
no <index>: writes to the first free place
<type>: 129 national or unknown, 145 international (number starts with +)',
'Write phonebook entry in the selected storage.');

INSERT INTO ATC VALUES ('AT+CPBF', 5,
'AT+CPBF=<findtext>
Response: +CPBF: <index>,<number>,<type>,<text> per entry whose name starts with <findtext>',
'Find phonebook entries by the beginning of their name.');

-- 6 SMS ----------------------------------------------------------------------

INSERT INTO ATC VALUES ('AT+CSMS', 6,
'AT+CSMS=<service>  set
AT+CSMS?  read: +CSMS: <service>,<mt>,<mo>,<bm>
<service>: 0 = 27.005 phase 2, 1 = phase 2+ (needed for AT+CNMA)
<mt>, <mo>, <bm>: 1 = receiving, sending and cell broadcast supported',
'Select message service and show which message types the module supports.');

INSERT INTO ATC VALUES ('AT+CPMS', 6,
'AT+CPMS=<mem1>[,<mem2>[,<mem3>]]  set
AT+CPMS?  read: +CPMS: <mem1>,<used1>,<total1>,<mem2>,<used2>,<total2>,<mem3>,<used3>,<total3>
<mem1>: storage read and deleted from (AT+CMGL, AT+CMGR, AT+CMGD)
<mem2>: storage written and sent from (AT+CMGW, AT+CMSS)
<mem3>: storage for new received messages
values: "SM" SIM, "ME" module memory, "MT" both',
'Preferred message storage. The SMS page reads the used and total counts to know how many message places to list.');

INSERT INTO ATC VALUES ('AT+CMGF', 6,
'AT+CMGF=[<mode>]  set
AT+CMGF?  read: +CMGF: <mode>
<mode>:
0 = PDU mode: messages as hexadecimal TPDU with the SMSC address in front
1 = text mode: messages as text with header fields',
'Message format. The SMS page switches between text mode and PDU mode before it sends, lists or reads messages, depending on the format chosen on the page.');

INSERT INTO ATC VALUES ('AT+CSCA', 6,
'AT+CSCA=<sca>[,<tosca>]  set
AT+CSCA?  read: +CSCA: <sca>,<tosca>
<sca>: service centre number, e.g. "+8613800100500"
<tosca>: 145 international, 129 national',
'Service centre address: the SMSC through which outgoing messages go. Normally read from the SIM; set it when sending fails with +CMS ERROR: 330.');

INSERT INTO ATC VALUES ('AT+CSMP', 6,
'AT+CSMP=[<fo>[,<vp>[,<pid>[,<dcs>]]]]  set (text mode)
AT+CSMP?  read
<fo>: first octet of SMS-SUBMIT, 17 = validity period relative; add 32 for a status report; 81 for a user data header
<vp>: validity period, 0..143 = (vp+1) x 5 minutes, 144..167 = 12 hours + (vp-143) x 30 minutes, 167 = 1 day, 168..196 = (vp-166) days, 197..255 = (vp-192) weeks
<pid>: protocol identifier, 0 normal
<dcs>: data coding scheme, 0 = GSM 7-bit, 4 = 8-bit data, 8 = UCS2; 16 + class for flash messages',
'Set text mode parameters for sending and storing. The SMS page sets the coding with it, for example AT+CSMP=17,167,0,8 to send Unicode text.');

INSERT INTO ATC VALUES ('AT+CSDH', 6,
'AT+CSDH=[<show>]  set
AT+CSDH?  read
<show>:
0 = short headers in text mode
1 = full headers (type of address, first octet, PID, DCS, SMSC, length)',
'Show text mode parameters. The SMS page asks for full headers so that it can tell the coding of a message when it reads or lists messages.');

INSERT INTO ATC VALUES ('AT+CSCB', 6,
'AT+CSCB=[<mode>[,<mids>[,<dcss>]]]
<mode>: 0 = accept the listed message ids, 1 = reject them
<mids>: e.g. "0,1,5,320-478,922"',
'Select cell broadcast message types.');

INSERT INTO ATC VALUES ('AT+CNMI', 6,
'AT+CNMI=[<mode>[,<mt>[,<bm>[,<ds>[,<bfr>]]]]]  set
AT+CNMI?  read
<mode>: 0 buffer in the module, 1 discard when the link is busy, 2 buffer and flush later
<mt>: 0 no indication, 1 +CMTI: <mem>,<index> (stored), 2 +CMT: direct delivery, 3 class 3 direct
<bm>: cell broadcast indications, <ds>: 1 = status reports as +CDS
Typical: AT+CNMI=2,1,0,0,0',
'New message indications to TE: how the module announces newly received messages. With <mt> 1 every new message gives +CMTI with its storage place, which the SMS page reads at once.');

INSERT INTO ATC VALUES ('AT+CMGL', 6,
'Text mode: AT+CMGL[=<stat>]
<stat>: "REC UNREAD", "REC READ", "STO UNSENT", "STO SENT", "ALL"
PDU mode: AT+CMGL=<stat>
<stat>: 0 received unread, 1 received read, 2 stored unsent, 3 stored sent, 4 all
Response: +CMGL: <index>,<stat>,... per message, followed by the message',
'List messages of the preferred storage. The SMS page lists all messages with it to fill its message list.');

INSERT INTO ATC VALUES ('AT+CMGR', 6,
'AT+CMGR=<index>
Text mode response: +CMGR: <stat>,<oa>,[<alpha>],<scts>[,...], then the text
PDU mode response: +CMGR: <stat>,[<alpha>],<length>, then the PDU
<index>: place in the <mem1> storage, as given by +CMTI or AT+CMGL',
'Read message. Reading a received unread message marks it as read. The SMS page reads each new message announced by +CMTI.');

INSERT INTO ATC VALUES ('AT+CMGS', 6,
'Text mode: AT+CMGS=<da>[,<toda>] <CR> text <Ctrl-Z>
PDU mode: AT+CMGS=<length> <CR> PDU <Ctrl-Z>
<da>: destination number in quotes
<length>: octets of the TPDU, the SMSC part not counted
After the command the module prompts with "> "; Ctrl-Z (0x1A) sends, ESC (0x1B) cancels.
Response: +CMGS: <mr>, then OK',
'Send message. The SMS page waits for the "> " prompt, writes the text or PDU and ends it with Ctrl-Z; it splits long messages into concatenated parts.');

INSERT INTO ATC VALUES ('AT+CMSS', 6,
'AT+CMSS=<index>[,<da>[,<toda>]]
Response: +CMSS: <mr>',
'Send message from storage: sends a message written earlier with AT+CMGW, optionally to another number.');

INSERT INTO ATC VALUES ('AT+CMGW', 6,
'Text mode: AT+CMGW[=<oa/da>[,<tooa/toda>[,<stat>]]] <CR> text <Ctrl-Z>
PDU mode: AT+CMGW=<length>[,<stat>] <CR> PDU <Ctrl-Z>
Response: +CMGW: <index>',
'Write message to memory (the <mem2> storage) without sending it.');

INSERT INTO ATC VALUES ('AT+CMGD', 6,
'AT+CMGD=<index>[,<delflag>]
<delflag>:
0 = delete the message at <index>
1 = delete all read messages
2 = delete all read and sent messages
3 = delete all read, sent and unsent messages
4 = delete all messages',
'Delete message. The SMS page deletes single messages by index and, on some modules, all of them with AT+CMGD=1,4.');

INSERT INTO ATC VALUES ('AT+CNMA', 6,
'AT+CNMA  (text mode)
AT+CNMA[=<n>[,<length>]]  (PDU mode)',
'New message acknowledgement: confirms a message delivered directly with +CMT when AT+CSMS=1 is in use.');

INSERT INTO ATC VALUES ('AT+CSAS', 6,
'AT+CSAS[=<profile>]',
'Save settings: stores the service centre address and the text mode parameters on the SIM.');

INSERT INTO ATC VALUES ('AT+CRES', 6,
'AT+CRES[=<profile>]',
'Restore settings saved with AT+CSAS.');

INSERT INTO ATC VALUES ('AT+CMMS', 6,
'AT+CMMS=[<n>]
<n>: 0 = off, 1 = keep the link until 1-5 seconds after the last message, 2 = keep it permanently',
'More messages to send: keeps the radio link open between several messages sent in a row.');

INSERT INTO ATC VALUES ('AT+CGSMS', 6,
'AT+CGSMS=[<service>]
<service>: 0 packet domain, 1 circuit switched, 2 packet preferred, 3 circuit switched preferred',
'Select service for MO SMS: whether outgoing messages go over the packet domain or the circuit switched domain.');

-- 7 Packet domain ------------------------------------------------------------

INSERT INTO ATC VALUES ('AT+CGDCONT', 7,
'AT+CGDCONT=[<cid>[,<PDP_type>[,<APN>[,<PDP_addr>[,<d_comp>[,<h_comp>]]]]]]  set
AT+CGDCONT?  read: +CGDCONT: <cid>,<PDP_type>,<APN>,<PDP_addr>,<d_comp>,<h_comp> per context
<cid>: context number, 1..
<PDP_type>: "IP", "IPV6", "IPV4V6", "PPP"
<APN>: access point name of the operator, e.g. "CMNET"
AT+CGDCONT=<cid> alone removes the context',
'Define PDP context. The PPP page sends AT+CGDCONT=1,"IP","<APN>" with its APN field before dialling *99#.');

INSERT INTO ATC VALUES ('AT+CGATT', 7,
'AT+CGATT=[<state>]  set
AT+CGATT?  read: +CGATT: <state>
<state>: 0 = detached, 1 = attached',
'Packet domain attach or detach. A module must be attached before a PDP context can be activated.');

INSERT INTO ATC VALUES ('AT+CGACT', 7,
'AT+CGACT=[<state>[,<cid>[,<cid>...]]]  set
AT+CGACT?  read: +CGACT: <cid>,<state> per context
<state>: 0 = deactivate, 1 = activate',
'PDP context activate or deactivate with the 3GPP command.');

INSERT INTO ATC VALUES ('AT+CGREG', 7,
'AT+CGREG=[<n>]  set
AT+CGREG?  read: +CGREG: <n>,<stat>[,<lac>,<ci>[,<AcT>,<rac>]]
<n>: 0 = no unsolicited code, 1 = +CGREG: <stat> on changes, 2 = also location
<stat>: 0 not registered, 1 registered home network, 2 searching, 3 denied, 4 unknown, 5 registered roaming',
'Packet domain network registration status. The TCP/UDP page requires stat 1 or 5 before it activates a context.');

INSERT INTO ATC VALUES ('AT+CGPADDR', 7,
'AT+CGPADDR[=<cid>[,<cid>...]]
Response: +CGPADDR: <cid>,<PDP_addr> per context',
'Show PDP address: the IP address the network gave to an active context.');

INSERT INTO ATC VALUES ('AT+CGQREQ', 7,
'AT+CGQREQ=[<cid>[,<precedence>[,<delay>[,<reliability>[,<peak>[,<mean>]]]]]]
0 for any value = let the network decide',
'Quality of service profile (requested) for a context, in the GPRS release 97 form.');

INSERT INTO ATC VALUES ('AT+CGQMIN', 7,
'AT+CGQMIN=[<cid>[,<precedence>[,<delay>[,<reliability>[,<peak>[,<mean>]]]]]]',
'Quality of service profile (minimum acceptable): activation fails when the network offers less.');

INSERT INTO ATC VALUES ('AT+CGDATA', 7,
'AT+CGDATA=[<L2P>[,<cid>]]
<L2P>: "PPP"
Response: CONNECT',
'Enter data state on a context, like ATD*99#.');

INSERT INTO ATC VALUES ('AT+CGEREP', 7,
'AT+CGEREP=[<mode>[,<bfr>]]
<mode>: 0 = no packet domain events, 1 = +CGEV: ... events when the link is free, 2 = buffer and deliver later',
'Packet domain event reporting, for example +CGEV: NW DEACT when the network drops a context.');

INSERT INTO ATC VALUES ('AT+CGCLASS', 7,
'AT+CGCLASS=[<class>]  set
AT+CGCLASS?  read
<class>: "A" = packet and circuit switched at once (UMTS), "B" = either, one at a time, "CG" = packet only, "CC" = circuit switched only',
'GPRS mobile station class: which services the module may use at the same time.');

-- 10 Audio -------------------------------------------------------------------

INSERT INTO ATC VALUES ('AT+CMUT', 10,
'AT+CMUT=<n>  set
AT+CMUT?  read: +CMUT: <n>
AT+CMUT=?  test
<n>: 0 = microphone on, 1 = microphone muted',
'Mute control of the uplink during a voice call. The voice call page switches it with its Mute box.');

INSERT INTO ATC VALUES ('AT+CLVL', 10,
'AT+CLVL=<level>  set
AT+CLVL?  read: +CLVL: <level>
AT+CLVL=?  test: +CLVL: (range of <level>)
<level>: loudspeaker volume in the range the test form gives, e.g. 0-100',
'Loudspeaker volume level. The voice call page reads the range with the test form and sets the level from its volume control.');

INSERT INTO ATC VALUES ('AT+CALM', 10,
'AT+CALM=<mode>  set
AT+CALM?  read: +CALM: <mode>
AT+CALM=?  test
<mode>: 0 = normal ringing, 1 = silent',
'Alert sound mode: switches the ring tone of incoming calls off or on. The voice call page calls it ring silence.');

INSERT INTO ATC VALUES ('AT+CRSL', 10,
'AT+CRSL=<level>  set
AT+CRSL?  read
<level>: ringer volume in the range of the test form',
'Ringer sound level.');

INSERT INTO ATC VALUES ('AT+JSIDET', 10,
'AT+JSIDET=<level>  set
AT+JSIDET?  read: +JSIDET: <level>
AT+JSIDET=?  test: +JSIDET: (range of <level>)
<level>: side tone gain, 0 = off',
'Side tone: how much of the own voice is fed back to the earpiece during a call. Set from the side tone control of the voice call page.');

-- 11 Positioning -------------------------------------------------------------

INSERT INTO ATC VALUES ('AT+JCELLLOC', 11,
'AT+JCELLLOC=1
Response: +JCELLLOC: <longitude>,<latitude>
then OK; ERROR when no position could be found
<longitude>, <latitude>: decimal degrees, e.g. 20.750000,10.250000
Needs an active PDP context (see the TCP/IP commands) because the position is asked from a server.',
'Cell locator: gives an approximate position from the serving and neighbour cells. The locator page shows it on the map; longitude comes first in the reply.');

-- 12 Module specific ---------------------------------------------------------

INSERT INTO ATC VALUES ('AT+JINISTAT', 12,
'AT+JINISTAT  execute: +JINISTAT: <state>
<state>: a bit set of what the SIM initialisation has finished:
1 = SIM ready
2 = SMS ready
4 = phone book ready
e.g. 3 = SIM and SMS ready, 7 = all done',
'SIM initialisation status. After a restart the module needs a few seconds before SMS commands work; the environment check of the SMS page asks this command and waits until the SMS part is ready.');

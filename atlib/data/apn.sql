-- Access points by network (MCC, MNC). APNT: 0 internet, 1 MMS/WAP.
CREATE TABLE APN (
  MCC TEXT,
  MNC TEXT,
  DialNo TEXT,
  APN TEXT,
  APNT INTEGER,
  UName TEXT,
  PSW TEXT,
  URL TEXT,
  Padd TEXT,
  Port TEXT,
  PName TEXT,
  GJ TEXT
);

-- The test network of bench SIM cards and of the simulated module (IMSI 001 01 ...).
INSERT INTO APN VALUES ('001', '01', '*99#', 'internet.test', 0, 'benchuser', 'bench01', '', '', '', 'Test network internet', 'Test network');
INSERT INTO APN VALUES ('001', '01', '*99#', 'mms.test', 1, '', '', 'http://mmsc.test/mms', '10.0.0.172', '80', 'Test network MMS', 'Test network');

-- China Mobile
INSERT INTO APN VALUES ('460', '00', '*99#', 'CMNET', 0, '', '', '', '', '', 'China Mobile internet', 'China');
INSERT INTO APN VALUES ('460', '02', '*99#', 'CMNET', 0, '', '', '', '', '', 'China Mobile internet', 'China');
INSERT INTO APN VALUES ('460', '07', '*99#', 'CMNET', 0, '', '', '', '', '', 'China Mobile internet', 'China');
INSERT INTO APN VALUES ('460', '00', '*99#', 'CMWAP', 1, '', '', 'http://mmsc.monternet.com', '10.0.0.172', '80', 'China Mobile MMS', 'China');

-- China Unicom
INSERT INTO APN VALUES ('460', '01', '*99#', 'UNINET', 0, '', '', '', '', '', 'China Unicom internet', 'China');
INSERT INTO APN VALUES ('460', '01', '*99#', 'UNIWAP', 1, '', '', 'http://mmsc.myuni.com.cn', '10.0.0.172', '80', 'China Unicom MMS', 'China');

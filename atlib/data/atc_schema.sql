-- The AT-command library: classifications and commands.
-- ATC.type holds the MyIndex of the command's classification. Both are
-- integer columns so that an index typed as 07 still joins with 7 and the
-- library sorts by classification number.
CREATE TABLE ATCCLASS (
  MyIndex INTEGER NOT NULL UNIQUE,
  typename TEXT NOT NULL
);
CREATE TABLE ATC (
  atc TEXT NOT NULL UNIQUE,
  type INTEGER,
  refer TEXT,
  func TEXT
);

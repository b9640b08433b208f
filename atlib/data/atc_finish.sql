-- The texts above are written with plain line feeds; the library keeps CR LF
-- between the lines of a reference or a function text.
UPDATE ATC SET
  refer = replace(replace(refer, char(13), ''), char(10), char(13) || char(10)),
  func = replace(replace(func, char(13), ''), char(10), char(13) || char(10));

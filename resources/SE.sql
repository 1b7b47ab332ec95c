-- Engine definitions: one row per search engine. The build turns this file into SE.cds.
-- Templates and pattern sets are data; the program knows no engine.
CREATE TABLE SE (
  SEName TEXT,
  PrepareSearchURL TEXT,
  StartSearchBody TEXT,
  StartSearchURL TEXT,
  PostMethod INTEGER,
  NextSearchFirstPartUrl TEXT,
  NextSearchCombineUrlType INTEGER,
  NextSearchRegExpr TEXT,
  NextSearchNextSearchString TEXT,
  CheckHtmlCheckText TEXT,
  GetTextTotalTextRegExpr TEXT,
  GetTextRegExpr TEXT,
  GetUrlRegExpr TEXT,
  GetUrlRemoveHtml INTEGER,
  GetUrlDecodeUrlCode INTEGER,
  GetUrlDecodeUrlPercent INTEGER
);

INSERT INTO SE (SEName, PostMethod, NextSearchCombineUrlType, GetUrlRemoveHtml, GetUrlDecodeUrlCode, GetUrlDecodeUrlPercent)
VALUES ('AltaVista', 0, 0, 0, 0, 0),
       ('All The Web', 0, 0, 0, 0, 0),
       ('Google', 0, 0, 0, 0, 0),
       ('MSN', 0, 0, 0, 0, 0),
       ('Teoma', 0, 0, 0, 0, 0);

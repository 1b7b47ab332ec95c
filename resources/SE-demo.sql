-- Demo engine definitions: the five designed engines as the demo search engine serves them.
-- The build turns this file into demo-engines/SE.cds, which `make demo` and `make run` use.
-- It keeps the designed sixteen fields only (an SE.cds of the first release looks so); the
-- optional fields are described in SE-live.sql. Templates and pattern sets are data; the
-- program knows no engine.
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

-- The five engines as the demo search engine (build/bin/kelvane-demo-engine) serves them.
--
-- Port: every text that names the server is written exactly "127.0.0.1:8765" and only
-- PrepareSearchURL, StartSearchURL and NextSearchFirstPartUrl hold it; no pattern names a
-- host or port. For a demo engine on another port, replace every "127.0.0.1:8765" by
-- "127.0.0.1:PORT" in this text before it is built, or in a built SE.cds run:
--   UPDATE SE SET PrepareSearchURL = replace(PrepareSearchURL, '127.0.0.1:8765', '127.0.0.1:PORT'),
--     StartSearchURL = replace(StartSearchURL, '127.0.0.1:8765', '127.0.0.1:PORT'),
--     NextSearchFirstPartUrl = replace(NextSearchFirstPartUrl, '127.0.0.1:8765', '127.0.0.1:PORT');
--
-- Pattern sets hold one alternative per line, lines joined by CR LF (char(13, 10)).
-- Check texts are lower case: they are looked for in the lower-cased page.

-- AltaVista: no block; most entries link through a click-through address whose "ru"
-- parameter is the result address percent-encoded (percent decoding), some link directly
-- (second line of the address set); server-relative next link with "&amp;" joined to a
-- prefix (combine type 1).
INSERT INTO SE (SEName, PrepareSearchURL, StartSearchBody, StartSearchURL, PostMethod,
                NextSearchFirstPartUrl, NextSearchCombineUrlType, NextSearchRegExpr,
                NextSearchNextSearchString, CheckHtmlCheckText, GetTextTotalTextRegExpr,
                GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml, GetUrlDecodeUrlCode,
                GetUrlDecodeUrlPercent)
VALUES ('AltaVista', 'http://127.0.0.1:8765/altavista/', '',
        'http://127.0.0.1:8765/altavista/web/results?q=@@@&kgs=0', 0,
        'http://127.0.0.1:8765', 1, '<a href="([^"]+)">\[Next &gt;&gt;\]</a>',
        '', '', '',
        '<li class="res">(.*?)</li>',
        'ru=([^"]+)"' || char(13, 10) || '<a class="title" href="([^"]+)"',
        0, 0, 1);

-- All The Web: fifteen entries a page. The block is the marked results region (a footer
-- table follows it) narrowed by a refining part to the result table (the region also holds a
-- sponsored row); the address
-- pattern also captures the title, so a group marker picks group 1; absolute next link with
-- "&#38;" (combine type 2); the region's end marker is the check text.
INSERT INTO SE (SEName, PrepareSearchURL, StartSearchBody, StartSearchURL, PostMethod,
                NextSearchFirstPartUrl, NextSearchCombineUrlType, NextSearchRegExpr,
                NextSearchNextSearchString, CheckHtmlCheckText, GetTextTotalTextRegExpr,
                GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml, GetUrlDecodeUrlCode,
                GetUrlDecodeUrlPercent)
VALUES ('All The Web', 'http://127.0.0.1:8765/alltheweb/', '',
        'http://127.0.0.1:8765/alltheweb/search?cat=web&q=@@@', 0,
        '', 2, '<a href="([^"]+)" title="next">',
        '', '<!-- results end -->',
        '<!-- results start -->(.*?)<!-- results end -->@@@<table class="resultTable">(.*)</table>',
        '<tr>(.*?)</tr>',
        '<a class="res" href="([^"]+)">(.*?)</a>(?#1)',
        0, 0, 0);

-- Google: sponsored links above the results share the entry markup, so a block cuts the
-- result list first; addresses carry "&amp;" (character-reference decoding); server-relative
-- next link resolved against the page's own address (combine type 0, no base element); the
-- closing tag is the check text.
INSERT INTO SE (SEName, PrepareSearchURL, StartSearchBody, StartSearchURL, PostMethod,
                NextSearchFirstPartUrl, NextSearchCombineUrlType, NextSearchRegExpr,
                NextSearchNextSearchString, CheckHtmlCheckText, GetTextTotalTextRegExpr,
                GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml, GetUrlDecodeUrlCode,
                GetUrlDecodeUrlPercent)
VALUES ('Google', 'http://127.0.0.1:8765/google/', '',
        'http://127.0.0.1:8765/google/search?q=@@@&hl=en', 0,
        '', 0, '<a id="pnnext" href="([^"]+)"',
        '', '</html>',
        '<div id="res">(.*?)</ol>',
        '<li class="g">(.*?)</li>',
        '<a href="([^"]+)" class="l"',
        0, 1, 0);

-- MSN: entries link through click-through addresses, so the address is the shown one, words
-- in <strong> (markup removal), taken from the meta line by a refining part; the head's base
-- element points into /msn/v2/, where the relative next link lives (combine type 0 with a
-- base element).
INSERT INTO SE (SEName, PrepareSearchURL, StartSearchBody, StartSearchURL, PostMethod,
                NextSearchFirstPartUrl, NextSearchCombineUrlType, NextSearchRegExpr,
                NextSearchNextSearchString, CheckHtmlCheckText, GetTextTotalTextRegExpr,
                GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml, GetUrlDecodeUrlCode,
                GetUrlDecodeUrlPercent)
VALUES ('MSN', 'http://127.0.0.1:8765/msn/', '',
        'http://127.0.0.1:8765/msn/results.aspx?q=@@@&FORM=QBHP', 0,
        '', 0, '<a class="sb_pagN" href="([^"]+)"',
        '', '', '',
        '<div class="sa_wr">(.*?)<!-- /sa_wr -->',
        '<div class="sb_meta">(.*?)</div>@@@<cite>(.*?)</cite>',
        1, 0, 0);

-- Teoma: the address is only in the click-through parameter, percent-encoded after it was
-- marked up (<b>) and entity-encoded ("&amp;"): all three switches, in their order; next
-- link relative to the page's own address (combine type 0, no base element).
INSERT INTO SE (SEName, PrepareSearchURL, StartSearchBody, StartSearchURL, PostMethod,
                NextSearchFirstPartUrl, NextSearchCombineUrlType, NextSearchRegExpr,
                NextSearchNextSearchString, CheckHtmlCheckText, GetTextTotalTextRegExpr,
                GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml, GetUrlDecodeUrlCode,
                GetUrlDecodeUrlPercent)
VALUES ('Teoma', 'http://127.0.0.1:8765/teoma/', '',
        'http://127.0.0.1:8765/teoma/web?q=@@@', 0,
        '', 0, '<a href="([^"]+)" class="next">',
        '', '', '',
        '<dl class="res">(.*?)</dl>',
        '<a class="rt" href="/teoma/go\?u=([^"]+)"',
        1, 1, 1);

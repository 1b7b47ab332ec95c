-- Engine definitions of the live search engines: one row per engine, in the order the window
-- shows them. The build turns this file into SE.cds in the program folder. Templates and
-- pattern sets are data; the program knows no engine. Facts as of late 2026; engines change
-- their markup every few months: `kelvane-cli engines check` says which row needs a fix, and
-- `engines export` / `engines import` replace rows without a rebuild (see the manual).
--
-- The designed fields:
--   SEName                   the engine's name, shown as its check box caption
--   PrepareSearchURL         referrer of the first request
--   StartSearchURL           query address, "@@@" stands for the keyword; empty: not set up
--                            (the box starts unticked and the engine is not asked)
--   PostMethod, StartSearchBody
--                            1: the query is a POST of the body template ("@@@" as above)
--   CheckHtmlCheckText       text every result page holds (compared ignoring ASCII case)
--   GetTextTotalTextRegExpr  pattern set cutting the results region (empty: the whole page)
--   GetTextRegExpr           pattern set, one match per result
--   GetUrlRegExpr            pattern set, the address inside a result
--   GetUrlDecodeUrlPercent, GetUrlDecodeUrlCode, GetUrlRemoveHtml
--                            address cleaning, applied in this order
--   NextSearchRegExpr        pattern set of the next page: a link, or a whole <form>
--   NextSearchCombineUrlType 0: a relative link resolved against the page's address (or its
--                            base element), 1: NextSearchFirstPartUrl + link, 2: as found
-- The optional fields (a SE.cds without them loads unchanged; they then read as 0 or empty):
--   NextSearchIsForm         1: the next pattern captures a <form>; its hidden inputs are
--                            entity-decoded and sent again to its action (resolved against
--                            the page address) by its method, POST or GET
--   GetUrlUnwrapRegExpr      pattern set whose group is the destination inside the engine's
--                            redirect address; an address it does not match stays as it is
--   GetUrlUnwrapDecode       decoding of that group: 0 none, 1 percent, 2 base64url
--   GetUrlDropOwnHost        1: addresses in the engine's own domain, and relative ones, are
--                            dropped (ads, internal links)
--   BlockedRegExpr           pattern set of a block (CAPTCHA) page
--   BlockedStatusCodes       HTTP statuses meaning blocked, comma-separated
--   RequestHeaderLines       extra request header lines, "Name: value", one a line
--   MinSecondsBetweenRequests  pacing: least seconds between two requests to the engine
--
-- Pattern sets hold one alternative per line, lines joined by CR LF (char(13, 10)); within a
-- line, "@@@" joins refining patterns; "(?#N)" picks capture group N. "." crosses lines.
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
  GetUrlDecodeUrlPercent INTEGER,
  NextSearchIsForm INTEGER,
  GetUrlUnwrapRegExpr TEXT,
  GetUrlUnwrapDecode INTEGER,
  GetUrlDropOwnHost INTEGER,
  BlockedRegExpr TEXT,
  BlockedStatusCodes TEXT,
  RequestHeaderLines TEXT,
  MinSecondsBetweenRequests INTEGER
);

-- DuckDuckGo, HTML version: a POST of the keyword; organic results are "web-result" blocks
-- (ads are "result--ad" blocks linking to duckduckgo.com/y.js, dropped as own-domain);
-- links are direct or wrapped as //duckduckgo.com/l/?uddg=<percent-encoded>; the next page is
-- a POST form carrying the per-query "vqd" token; a CAPTCHA answers 202 or a challenge form.
INSERT INTO SE (SEName, PrepareSearchURL, StartSearchBody, StartSearchURL, PostMethod,
                NextSearchFirstPartUrl, NextSearchCombineUrlType, NextSearchRegExpr,
                NextSearchNextSearchString, CheckHtmlCheckText, GetTextTotalTextRegExpr,
                GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml, GetUrlDecodeUrlCode,
                GetUrlDecodeUrlPercent, NextSearchIsForm, GetUrlUnwrapRegExpr,
                GetUrlUnwrapDecode, GetUrlDropOwnHost, BlockedRegExpr, BlockedStatusCodes,
                RequestHeaderLines, MinSecondsBetweenRequests)
VALUES ('DuckDuckGo', 'https://html.duckduckgo.com/html/', 'q=@@@&b=&kl=wt-wt',
        'https://html.duckduckgo.com/html/', 1,
        '', 0,
        '(<form action="/html/" method="post">\s*<input type="submit" class="btn btn--alt" value="Next"[^>]*>.*?</form>)(?#1)',
        '', 'at duckduckgo</title>', '',
        '<div class="result results_links[^"]*web-result[^"]*">(.*?)<div class="clear"></div>',
        'class="result__a"[^>]* href="([^"]+)"',
        0, 1, 0, 1,
        '^(https?:)?//duckduckgo\.com/l/\?uddg=([^&]+)',
        1, 1,
        'id="challenge-form"' || char(13, 10) || 'anomaly\.js' || char(13, 10) || 'class="anomaly-modal',
        '202, 403, 429',
        'Sec-Fetch-Dest: document' || char(13, 10) || 'Sec-Fetch-Mode: navigate' || char(13, 10) ||
        'Sec-Fetch-Site: same-origin' || char(13, 10) || 'Sec-Fetch-User: ?1',
        10);

-- DuckDuckGo Lite: the same index and the same IP budget as the HTML version, table markup
-- (four rows per result, single-quoted class), the next page a POST form with "vqd".
INSERT INTO SE (SEName, PrepareSearchURL, StartSearchBody, StartSearchURL, PostMethod,
                NextSearchFirstPartUrl, NextSearchCombineUrlType, NextSearchRegExpr,
                NextSearchNextSearchString, CheckHtmlCheckText, GetTextTotalTextRegExpr,
                GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml, GetUrlDecodeUrlCode,
                GetUrlDecodeUrlPercent, NextSearchIsForm, GetUrlUnwrapRegExpr,
                GetUrlUnwrapDecode, GetUrlDropOwnHost, BlockedRegExpr, BlockedStatusCodes,
                RequestHeaderLines, MinSecondsBetweenRequests)
VALUES ('DuckDuckGo Lite', 'https://lite.duckduckgo.com/', 'q=@@@&kl=wt-wt',
        'https://lite.duckduckgo.com/lite/', 1,
        '', 0,
        '(<form class="next_form"[^>]*>.*?</form>)(?#1)',
        '', 'at duckduckgo</title>', '',
        '<td valign="top">\s*\d+\.&nbsp;\s*</td>\s*<td>\s*(<a rel="nofollow" href="[^"]+" class=''result-link''>)',
        'href="([^"]+)"',
        0, 1, 0, 1,
        '^(https?:)?//duckduckgo\.com/l/\?uddg=([^&]+)',
        1, 1,
        'id="challenge-form"' || char(13, 10) || 'anomaly\.js' || char(13, 10) || 'class="anomaly-modal',
        '202, 403, 429',
        'Sec-Fetch-Dest: document' || char(13, 10) || 'Sec-Fetch-Mode: navigate' || char(13, 10) ||
        'Sec-Fetch-Site: same-origin' || char(13, 10) || 'Sec-Fetch-User: ?1',
        10);

-- Mojeek: its own index, plain HTML, direct links in <h2><a class="title">; no "s" on the
-- first page (it triggers a rate limit); the next link is relative (its markup is not
-- confirmed from a real page: the self-test shows "no next page" if it differs); a per-IP
-- budget answers 403 or a CAPTCHA page.
INSERT INTO SE (SEName, PrepareSearchURL, StartSearchBody, StartSearchURL, PostMethod,
                NextSearchFirstPartUrl, NextSearchCombineUrlType, NextSearchRegExpr,
                NextSearchNextSearchString, CheckHtmlCheckText, GetTextTotalTextRegExpr,
                GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml, GetUrlDecodeUrlCode,
                GetUrlDecodeUrlPercent, NextSearchIsForm, GetUrlUnwrapRegExpr,
                GetUrlUnwrapDecode, GetUrlDropOwnHost, BlockedRegExpr, BlockedStatusCodes,
                RequestHeaderLines, MinSecondsBetweenRequests)
VALUES ('Mojeek', 'https://www.mojeek.com/', '',
        'https://www.mojeek.com/search?q=@@@&safe=0', 0,
        '', 0,
        '<a[^>]*href="(/search\?[^"]*[?&;]s=\d+[^"]*)"[^>]*>\s*(Next|&gt;|&raquo;|›)(?#1)',
        '', '<ul class="results-standard">', '',
        '<h2>\s*(<a class="title"[^>]*>)',
        'href="(https?://[^"]+)"',
        0, 1, 0, 0, '', 0, 1,
        '<title>Captcha</title>' || char(13, 10) || 'class="captcha-wrap"',
        '403, 429',
        'Sec-Fetch-Dest: document' || char(13, 10) || 'Sec-Fetch-Mode: navigate',
        5);

-- Brave Search: its own index, server-rendered; web results are "snippet" blocks with
-- data-type="web" and a direct link first (a relative first link is an ad: dropped); the next
-- page is a relative link with "offset"; 429 when it takes us for a bot.
INSERT INTO SE (SEName, PrepareSearchURL, StartSearchBody, StartSearchURL, PostMethod,
                NextSearchFirstPartUrl, NextSearchCombineUrlType, NextSearchRegExpr,
                NextSearchNextSearchString, CheckHtmlCheckText, GetTextTotalTextRegExpr,
                GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml, GetUrlDecodeUrlCode,
                GetUrlDecodeUrlPercent, NextSearchIsForm, GetUrlUnwrapRegExpr,
                GetUrlUnwrapDecode, GetUrlDropOwnHost, BlockedRegExpr, BlockedStatusCodes,
                RequestHeaderLines, MinSecondsBetweenRequests)
VALUES ('Brave Search', 'https://search.brave.com/', '',
        'https://search.brave.com/search?q=@@@&source=web', 0,
        '', 0,
        '<a href="(/search\?[^"]*offset=\d+[^"]*)"[^>]*>(\s|<!--[^>]*-->)*<span[^>]*>Next</span>(?#1)',
        '', '- brave search</title>', '',
        '<div class="snippet [^"]*" data-pos="\d+" data-type="web"[^>]*>.*?(<a href="[^"]+")',
        'href="([^"]+)"',
        0, 1, 0, 0, '', 0, 1,
        '<title>[^<]*[Cc]aptcha',
        '403, 429',
        'Sec-Fetch-Dest: document' || char(13, 10) || 'Sec-Fetch-Mode: navigate',
        10);

-- SearXNG: the user's own instance. Set StartSearchURL to its address, for example
--   http://127.0.0.1:8888/search?q=@@@&categories=general&language=all&safesearch=0
-- (export, edit, import); until then the box starts unticked and the engine is not asked.
-- The next page is a form (GET by default, POST if the instance is set so).
INSERT INTO SE (SEName, PrepareSearchURL, StartSearchBody, StartSearchURL, PostMethod,
                NextSearchFirstPartUrl, NextSearchCombineUrlType, NextSearchRegExpr,
                NextSearchNextSearchString, CheckHtmlCheckText, GetTextTotalTextRegExpr,
                GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml, GetUrlDecodeUrlCode,
                GetUrlDecodeUrlPercent, NextSearchIsForm, GetUrlUnwrapRegExpr,
                GetUrlUnwrapDecode, GetUrlDropOwnHost, BlockedRegExpr, BlockedStatusCodes,
                RequestHeaderLines, MinSecondsBetweenRequests)
VALUES ('SearXNG', '', '', '', 0,
        '', 0,
        '(<form method="[^"]*" action="[^"]*" class="next_page">.*?</form>)(?#1)',
        '', '<div id="urls" role="main">', '',
        '<article class="result [^"]*">(.*?)</article>',
        '<a href="([^"]+)" class="url_header"',
        0, 1, 0, 1, '', 0, 0,
        '', '429',
        '',
        1);

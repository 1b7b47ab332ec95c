-- Definitions of the demo engine of today (kelvane-demo-engine, /modern/MODE/search), one row
-- per mode, for the self-test's verdicts. Tests replace 127.0.0.1:8765 by the engine's port.
CREATE TABLE SE (SEName TEXT, PrepareSearchURL TEXT, StartSearchBody TEXT, StartSearchURL TEXT,
  PostMethod INTEGER, NextSearchFirstPartUrl TEXT, NextSearchCombineUrlType INTEGER,
  NextSearchRegExpr TEXT, NextSearchNextSearchString TEXT, CheckHtmlCheckText TEXT,
  GetTextTotalTextRegExpr TEXT, GetTextRegExpr TEXT, GetUrlRegExpr TEXT, GetUrlRemoveHtml INTEGER,
  GetUrlDecodeUrlCode INTEGER, GetUrlDecodeUrlPercent INTEGER, NextSearchIsForm INTEGER,
  GetUrlUnwrapRegExpr TEXT, GetUrlUnwrapDecode INTEGER, GetUrlDropOwnHost INTEGER,
  BlockedRegExpr TEXT, BlockedStatusCodes TEXT, RequestHeaderLines TEXT,
  MinSecondsBetweenRequests INTEGER);

-- GET, base64url-wrapped relative links, relative next link.
INSERT INTO SE VALUES ('Modern Link', 'http://127.0.0.1:8765/modern/', '',
  'http://127.0.0.1:8765/modern/link/search?q=@@@', 0, '', 0, '<a class="next" href="([^"]+)"',
  '', 'at demo modern</title>', '',
  '<div class="result results_links web-result ">(.*?)<div class="clear"></div>',
  'class="result__a" href="([^"]+)"', 0, 1, 0, 0, '[?&]u=a1([^&]+)', 2, 1,
  'id="challenge-form"', '202, 429', 'X-Demo: link', 0);

-- POST, percent-wrapped links, next page a POST form with the "vqd" token.
INSERT INTO SE VALUES ('Modern Form', 'http://127.0.0.1:8765/modern/', 'q=@@@',
  'http://127.0.0.1:8765/modern/form/search', 1, '', 0,
  '(<form action="/modern/form/search" method="post">.*?</form>)(?#1)',
  '', 'at demo modern</title>', '',
  '<div class="result results_links web-result ">(.*?)<div class="clear"></div>',
  'class="result__a" href="([^"]+)"', 0, 1, 0, 1, '^(https?:)?//[^/]+/modern/l/\?uddg=([^&]+)', 1,
  1, 'id="challenge-form"', '202, 429', '', 0);

-- The other modes, with the link row's patterns.
INSERT INTO SE SELECT 'Modern Blocked', PrepareSearchURL, StartSearchBody,
  replace(StartSearchURL, '/link/', '/block429/'), PostMethod, NextSearchFirstPartUrl,
  NextSearchCombineUrlType, NextSearchRegExpr, NextSearchNextSearchString, CheckHtmlCheckText,
  GetTextTotalTextRegExpr, GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml, GetUrlDecodeUrlCode,
  GetUrlDecodeUrlPercent, NextSearchIsForm, GetUrlUnwrapRegExpr, GetUrlUnwrapDecode,
  GetUrlDropOwnHost, BlockedRegExpr, BlockedStatusCodes, RequestHeaderLines,
  MinSecondsBetweenRequests FROM SE WHERE SEName = 'Modern Link';
INSERT INTO SE SELECT 'Modern Accepted', PrepareSearchURL, StartSearchBody,
  replace(StartSearchURL, '/link/', '/block202/'), PostMethod, NextSearchFirstPartUrl,
  NextSearchCombineUrlType, NextSearchRegExpr, NextSearchNextSearchString, CheckHtmlCheckText,
  GetTextTotalTextRegExpr, GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml, GetUrlDecodeUrlCode,
  GetUrlDecodeUrlPercent, NextSearchIsForm, GetUrlUnwrapRegExpr, GetUrlUnwrapDecode,
  GetUrlDropOwnHost, BlockedRegExpr, BlockedStatusCodes, RequestHeaderLines,
  MinSecondsBetweenRequests FROM SE WHERE SEName = 'Modern Link';
INSERT INTO SE SELECT 'Modern Captcha', PrepareSearchURL, StartSearchBody,
  replace(StartSearchURL, '/link/', '/captcha/'), PostMethod, NextSearchFirstPartUrl,
  NextSearchCombineUrlType, NextSearchRegExpr, NextSearchNextSearchString, CheckHtmlCheckText,
  GetTextTotalTextRegExpr, GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml, GetUrlDecodeUrlCode,
  GetUrlDecodeUrlPercent, NextSearchIsForm, GetUrlUnwrapRegExpr, GetUrlUnwrapDecode,
  GetUrlDropOwnHost, BlockedRegExpr, BlockedStatusCodes, RequestHeaderLines,
  MinSecondsBetweenRequests FROM SE WHERE SEName = 'Modern Link';
INSERT INTO SE SELECT 'Modern Empty', PrepareSearchURL, StartSearchBody,
  replace(StartSearchURL, '/link/', '/empty/'), PostMethod, NextSearchFirstPartUrl,
  NextSearchCombineUrlType, NextSearchRegExpr, NextSearchNextSearchString, CheckHtmlCheckText,
  GetTextTotalTextRegExpr, GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml, GetUrlDecodeUrlCode,
  GetUrlDecodeUrlPercent, NextSearchIsForm, GetUrlUnwrapRegExpr, GetUrlUnwrapDecode,
  GetUrlDropOwnHost, BlockedRegExpr, BlockedStatusCodes, RequestHeaderLines,
  MinSecondsBetweenRequests FROM SE WHERE SEName = 'Modern Link';
INSERT INTO SE SELECT 'Modern Changed', PrepareSearchURL, StartSearchBody,
  replace(StartSearchURL, '/link/', '/changed/'), PostMethod, NextSearchFirstPartUrl,
  NextSearchCombineUrlType, NextSearchRegExpr, NextSearchNextSearchString, CheckHtmlCheckText,
  GetTextTotalTextRegExpr, GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml, GetUrlDecodeUrlCode,
  GetUrlDecodeUrlPercent, NextSearchIsForm, GetUrlUnwrapRegExpr, GetUrlUnwrapDecode,
  GetUrlDropOwnHost, BlockedRegExpr, BlockedStatusCodes, RequestHeaderLines,
  MinSecondsBetweenRequests FROM SE WHERE SEName = 'Modern Link';
INSERT INTO SE SELECT 'Modern Redesigned', PrepareSearchURL, StartSearchBody,
  replace(StartSearchURL, '/link/', '/nocheck/'), PostMethod, NextSearchFirstPartUrl,
  NextSearchCombineUrlType, NextSearchRegExpr, NextSearchNextSearchString, CheckHtmlCheckText,
  GetTextTotalTextRegExpr, GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml, GetUrlDecodeUrlCode,
  GetUrlDecodeUrlPercent, NextSearchIsForm, GetUrlUnwrapRegExpr, GetUrlUnwrapDecode,
  GetUrlDropOwnHost, BlockedRegExpr, BlockedStatusCodes, RequestHeaderLines,
  MinSecondsBetweenRequests FROM SE WHERE SEName = 'Modern Link';
INSERT INTO SE (SEName, StartSearchURL, PrepareSearchURL, StartSearchBody, PostMethod,
  NextSearchFirstPartUrl, NextSearchCombineUrlType, NextSearchRegExpr, NextSearchNextSearchString,
  CheckHtmlCheckText, GetTextTotalTextRegExpr, GetTextRegExpr, GetUrlRegExpr, GetUrlRemoveHtml,
  GetUrlDecodeUrlCode, GetUrlDecodeUrlPercent)
  VALUES ('Modern Gone', 'http://127.0.0.1:9/modern/link/search?q=@@@', '', '', 0, '', 0, '', '',
  '', '', 'x', 'x', 0, 0, 0);

#include "http/publicsuffix.h"

#include <fstream>
#include <sstream>

#include "text/textcompare.h"

namespace kv::http {

namespace {

// The suffixes most pages live under, for machines without the publicsuffix package.
// Single labels ("com", "de") need no entry: every single label counts.
constexpr std::string_view kBuiltInRules = R"(
co.uk org.uk ac.uk gov.uk ltd.uk plc.uk me.uk net.uk sch.uk nhs.uk
com.au net.au org.au edu.au gov.au asn.au id.au
co.nz net.nz org.nz govt.nz ac.nz
co.jp ne.jp or.jp ac.jp go.jp gr.jp ed.jp
com.cn net.cn org.cn gov.cn edu.cn ac.cn
com.br net.br org.br gov.br edu.br
com.mx org.mx gob.mx net.mx
com.ar gob.ar org.ar net.ar
com.tr org.tr net.tr gov.tr edu.tr
co.za org.za gov.za ac.za net.za
co.in net.in org.in gov.in ac.in firm.in gen.in ind.in
co.kr or.kr go.kr ac.kr ne.kr
com.tw org.tw gov.tw edu.tw net.tw
com.hk org.hk gov.hk edu.hk net.hk
com.sg org.sg gov.sg edu.sg net.sg
com.my org.my gov.my edu.my net.my
co.id or.id go.id ac.id web.id
co.il org.il gov.il ac.il net.il
com.ua org.ua gov.ua net.ua kiev.ua
com.ru org.ru net.ru spb.ru msk.ru
com.pl net.pl org.pl gov.pl
co.at or.at gv.at ac.at
com.es org.es gob.es nom.es edu.es
com.pt org.pt gov.pt edu.pt
com.gr org.gr gov.gr edu.gr net.gr
com.eg org.eg gov.eg edu.eg net.eg
com.sa org.sa gov.sa edu.sa net.sa
com.pk org.pk gov.pk edu.pk net.pk
com.ng org.ng gov.ng edu.ng
com.ph org.ph gov.ph edu.ph net.ph
com.vn org.vn gov.vn edu.vn net.vn
co.th or.th go.th ac.th in.th
com.co org.co gov.co edu.co net.co
com.pe org.pe gob.pe edu.pe net.pe
com.ve org.ve gob.ve net.ve
co.ke or.ke go.ke ac.ke
github.io gitlab.io blogspot.com appspot.com herokuapp.com azurewebsites.net
cloudfront.net netlify.app vercel.app pages.dev workers.dev web.app firebaseapp.com
s3.amazonaws.com elasticbeanstalk.com wordpress.com tumblr.com
dyndns.org no-ip.org duckdns.org
)";

}  // namespace

PublicSuffixList PublicSuffixList::FromText(std::string_view text) {
    PublicSuffixList list;
    std::istringstream in{std::string(text)};
    std::string rule;
    std::string line;
    while (std::getline(in, line)) {
        // One rule a line, up to the first blank; the rest of the line is not read.
        std::istringstream words(line);
        if (!(words >> rule) || rule.starts_with("//")) continue;
        rule = text::AsciiLowerCase(rule);
        if (rule.starts_with("*.")) {
            list.wildcards_.insert(rule.substr(2));
        } else if (rule.starts_with('!')) {
            list.exceptions_.insert(rule.substr(1));
        } else {
            list.rules_.insert(rule);
        }
    }
    return list;
}

PublicSuffixList PublicSuffixList::BuiltIn() {
    PublicSuffixList list;
    std::istringstream words{std::string(kBuiltInRules)};
    std::string rule;
    while (words >> rule) list.rules_.insert(rule);
    return list;
}

PublicSuffixList PublicSuffixList::FromFileOrBuiltIn(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (file) {
        std::ostringstream text;
        text << file.rdbuf();
        PublicSuffixList list = FromText(text.str());
        if (list.RuleCount() > 0) return list;
    }
    return BuiltIn();
}

bool PublicSuffixList::IsPublicSuffix(std::string_view domain) const {
    const std::string name(domain);
    if (exceptions_.contains(name)) return false;
    if (rules_.contains(name)) return true;
    const std::size_t dot = name.find('.');
    if (dot == std::string::npos) return true;
    return wildcards_.contains(name.substr(dot + 1));
}

const PublicSuffixList& SystemPublicSuffixes() {
    static const PublicSuffixList list = PublicSuffixList::FromFileOrBuiltIn(kPublicSuffixFile);
    return list;
}

}  // namespace kv::http

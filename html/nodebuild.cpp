#include "html/nodebuild.h"

#include <cstddef>

namespace kv::html {

namespace {

bool IsControlOrBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::unique_ptr<TTagNode> MakeNode(TNodeType type, std::string_view name, std::string_view text) {
    auto node = std::make_unique<TTagNode>();
    node->SetNodeType(type);
    node->SetName(name);
    node->SetText(text);
    return node;
}

}  // namespace

std::string_view TrimControls(std::string_view s) {
    while (!s.empty() && IsControlOrBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsControlOrBlank(s.back())) s.remove_suffix(1);
    return s;
}

std::unique_ptr<TTagNode> MakeTextNode(std::string_view text) {
    return MakeNode(TNodeType::PCData, "PCDATA", text);
}

std::unique_ptr<TTagNode> MakeCommentNode(std::string_view body) {
    body = TrimControls(body);
    if (!body.starts_with("--")) return MakeNode(TNodeType::Comment, {}, {});
    body.remove_prefix(2);
    if (body.ends_with("--")) body.remove_suffix(2);
    return MakeNode(TNodeType::Comment, "!", TrimControls(body));
}

std::unique_ptr<TTagNode> MakeDeclarationNode(std::string_view body) {
    // "[CDATA" + "[" before the content and "]]" after it.
    constexpr std::size_t kCDataHead = 6;
    constexpr std::size_t kCDataTail = 2;
    body = TrimControls(body);
    if (body.empty()) return MakeNode(TNodeType::None, {}, {});
    if (body.starts_with("[CDATA")) {
        std::string_view content;
        if (body.size() > kCDataHead + kCDataTail)
            content = body.substr(kCDataHead, body.size() - kCDataHead - kCDataTail);
        content = TrimControls(content);
        if (!content.empty()) content.remove_prefix(1);
        return MakeNode(TNodeType::CData, "CDATA", content);
    }
    const std::size_t blank = body.find(' ');
    if (blank == std::string_view::npos)
        return MakeNode(TNodeType::DTDItem, "!" + std::string(body), {});
    return MakeNode(TNodeType::DTDItem, "!" + std::string(body.substr(0, blank)),
                    body.substr(blank + 1));
}

}  // namespace kv::html

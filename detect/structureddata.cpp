#include "detect/structureddata.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <algorithm>

#include "text/textcompare.h"

namespace kv::detect {

namespace {

const QString kKeywords = QStringLiteral("keywords");
const QString kName = QStringLiteral("name");

// The deepest nesting of arrays and objects, counted outside strings; stops counting once it
// passes the limit.
bool NestsDeeperThan(std::string_view json, int limit) {
    int depth = 0;
    bool inString = false;
    for (std::size_t i = 0; i < json.size(); ++i) {
        const char c = json[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) return true;
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return false;
}

void TakeKeywords(const QJsonValue& value, std::vector<std::string>& out) {
    const auto take = [&out](const QJsonValue& v) {
        if (v.isString()) {
            out.push_back(v.toString().toStdString());
        } else if (v.isObject()) {
            const QJsonValue name = v.toObject().value(kName);
            if (name.isString()) out.push_back(name.toString().toStdString());
        }
    };
    if (value.isArray()) {
        for (const QJsonValue& element : value.toArray()) take(element);
    } else {
        take(value);
    }
}

}  // namespace

bool IsStructuredDataType(std::string_view type) {
    type = type.substr(0, type.find(';'));
    while (!type.empty() && static_cast<unsigned char>(type.front()) <= 32) type.remove_prefix(1);
    while (!type.empty() && static_cast<unsigned char>(type.back()) <= 32) type.remove_suffix(1);
    return text::SameAsciiNoCase(type, "application/ld+json");
}

std::optional<std::vector<std::string>> StructuredDataKeywords(std::string_view json) {
    if (json.size() > kMaxStructuredDataBytes || NestsDeeperThan(json, kMaxStructuredDataDepth))
        return std::nullopt;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(
        QByteArray::fromRawData(json.data(), static_cast<qsizetype>(json.size())), &error);
    if (error.error != QJsonParseError::NoError) return std::nullopt;

    std::optional<std::vector<std::string>> keywords;
    // Depth-first in the block's order: an object's own keywords before those of its members.
    std::vector<QJsonValue> pending;
    pending.push_back(document.isArray() ? QJsonValue(document.array())
                                         : QJsonValue(document.object()));
    while (!pending.empty()) {
        const QJsonValue value = std::move(pending.back());
        pending.pop_back();
        const std::size_t firstChild = pending.size();
        if (value.isObject()) {
            const QJsonObject object = value.toObject();
            for (auto it = object.begin(); it != object.end(); ++it) {
                if (it.key() == kKeywords) {
                    if (!keywords) keywords.emplace();
                    TakeKeywords(it.value(), *keywords);
                } else if (it.value().isObject() || it.value().isArray()) {
                    pending.push_back(it.value());
                }
            }
        } else if (value.isArray()) {
            for (const QJsonValue& element : value.toArray())
                if (element.isObject() || element.isArray()) pending.push_back(element);
        }
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(firstChild), pending.end());
    }
    return keywords;
}

}  // namespace kv::detect

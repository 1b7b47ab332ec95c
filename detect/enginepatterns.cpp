#include "detect/enginepatterns.h"

#include "data/enginefields.h"
#include "detect/detectstrings.h"
#include "parseutils/regexpr.h"
#include "parseutils/templatefuncs.h"
#include "text/format.h"

namespace kv::detect {

void CheckEnginePatterns(data::Table& engines, const std::string& engineName) {
    namespace f = data::se_fields;
    for (std::string_view field :
         {f::GetTextTotalTextRegExpr, f::GetTextRegExpr, f::GetUrlRegExpr, f::NextSearchRegExpr}) {
        try {
            parseutils::CompilePatternSet(engines.AsString(field));
        } catch (const ERegExpr& e) {
            throw ERegExpr(
                text::FormatText(strings::kPatternFieldError, {engineName, field, e.what()}));
        }
    }
}

}  // namespace kv::detect

// FetchPage: one PageFetch, waited for while the event loop turns, with the shared cookie list.
#include <QEventLoop>
#include <optional>

#include "http/httpstrings.h"
#include "http/httpunit.h"
#include "http/pagefetch.h"

namespace kv::http {

void HttpUnit::FetchPage(std::string& address, const std::string& checkText,
                         const std::string& referrer, std::string& page,
                         const FetchOptions& options) {
    QEventLoop loop;
    std::optional<PageResult> result;
    PageFetch fetch(*this, PageRequest{address, checkText, referrer, options, &cookies_},
                    [&](PageResult ended) {
                        result = std::move(ended);
                        loop.exit();
                    });
    fetch.Start();
    if (!result) loop.exec();
    if (!result) {
        // The loop ended without us: the application is quitting.
        fetch.Abort(true);
        throw FetchError(std::string(kFetchTimedOut));
    }
    switch (result->outcome) {
        case PageResult::Outcome::Page:
            page = std::move(result->page);
            address = result->address;
            return;
        case PageResult::Outcome::NotHtml:
            return;
        case PageResult::Outcome::Failed:
        case PageResult::Outcome::Canceled:
            throw FetchError(result->message, result->status);
    }
}

}  // namespace kv::http

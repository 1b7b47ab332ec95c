// The detection run and the page fetch behind the command button.
#include "app/authform.h"
#include "app/mainform.h"

#if __has_include("detect/detectionrun.h") && __has_include("http/httpunit.h")
#define KELVANE_HAS_RUN 1
#include "detect/detectionrun.h"
#include "http/httpunit.h"
#endif

namespace kv::app {

#ifdef KELVANE_HAS_RUN
#else
struct TMainForm::RunParts {};
void TMainForm::RunPartsDeleter::operator()(RunParts* parts) const {
    delete parts;
}
void TMainForm::CreateRunParts() {}
void TMainForm::ReloadConnectionSettings() {}
void TMainForm::FindActionExecute() {}
void TMainForm::StopActionExecute() {}
bool TMainForm::RunInProgress() const {
    return false;
}
bool TMainForm::StopFlag() const {
    return true;
}
#endif

}  // namespace kv::app

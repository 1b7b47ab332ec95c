// The keyword manager opened by "Edit"; the keyword box follows the history when it closes.
#include "app/keywordmanager.h"
#include "app/mainform.h"

namespace kv::app {

void TMainForm::EditTBXButtonClick() {
    TWordEditForm form(tables_.WordClientDataSet, desktop_, this);
    form.exec();
    SyncKeywordBox();
}

}  // namespace kv::app

#include "app/common/companylist.h"

namespace {
CompanyList* installed = nullptr;
}

CompanyList* TheCompanyList() {
    return installed;
}

void SetTheCompanyList(CompanyList* list) {
    installed = list;
}

QString CurrentCompanyName() {
    return installed ? installed->currentCompanyName() : QString();
}

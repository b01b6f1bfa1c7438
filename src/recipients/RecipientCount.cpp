#include "recipients/RecipientCount.h"

#include "recipients/RecipientLists.h"
#include "recipients/RecipientsPage.h"

namespace pelicast {

void RefreshRecipientCount(RecipientLists &lists, RecipientsPage &page)
{
    if (RecipientList *list = lists.byTab(page.selectedListTab()))
        page.setCountLabel(QString::number(list->AddressCount()));
}

} // namespace pelicast

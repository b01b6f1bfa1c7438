#pragma once

namespace pelicast {

struct RecipientLists;
class RecipientsPage;

// Shows in the count label the number of addresses of the list whose tab is selected on the
// "Recipents" page. With no tab selected the label keeps its text.
void RefreshRecipientCount(RecipientLists &lists, RecipientsPage &page);

} // namespace pelicast

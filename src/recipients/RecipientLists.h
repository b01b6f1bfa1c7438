#pragma once

#include "recipients/RecipientList.h"
#include "recipients/RecipientListModel.h"

namespace pelicast {

// The three lists of the program with their view links (the grid models):
// All (MainTable, DataSource1), Success (SuccessTable, DataSource2),
// Error (ErrorTable, DataSource3). The lists start closed; start-up opens them.
struct RecipientLists
{
    RecipientList MainTable{QStringLiteral("MainTableIndex")};
    RecipientList SuccessTable{QStringLiteral("SuccessTableIndex1")};
    RecipientList ErrorTable{QStringLiteral("ErrorTableIndex1")};
    RecipientListModel DataSource1{MainTable};
    RecipientListModel DataSource2{SuccessTable};
    RecipientListModel DataSource3{ErrorTable};

    // The list of a tab of the "Recipents" page: 0 All, 1 Success, 2 Error; null otherwise.
    RecipientList *byTab(int tab)
    {
        switch (tab) {
        case 0: return &MainTable;
        case 1: return &SuccessTable;
        case 2: return &ErrorTable;
        default: return nullptr;
        }
    }
    RecipientListModel &viewLinkOf(const RecipientList &list)
    {
        if (&list == &SuccessTable)
            return DataSource2;
        if (&list == &ErrorTable)
            return DataSource3;
        return DataSource1;
    }
    void openAll()
    {
        MainTable.OpenList();
        SuccessTable.OpenList();
        ErrorTable.OpenList();
    }
};

} // namespace pelicast

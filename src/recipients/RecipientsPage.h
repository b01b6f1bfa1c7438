#pragma once

#include <QString>

namespace pelicast {

// The controls of the "Recipents" page that the list commands, the database commands and
// the import/export read or change. The main window implements it; tests use a plain fake.
enum class RecipientControl {
    Edit1,           // "New:" field
    BitBtn1,         // Add
    Button6,         // Delete
    BitBtn2,         // Edit
    BitBtn3,         // Find
    Button3,         // Open (database)
    Button4,         // Save (database)
    Button5,         // Clear
    Button17Open,    // Import From TXT
    Button22,        // Export To TXT
    Button13,        // "<<--- Move to All" on the Success tab
    Button_move_all2 // "<<--- Move to All" on the Error tab
};

class RecipientsPage
{
public:
    virtual ~RecipientsPage() = default;
    // PageControl2's selected tab: 0 All, 1 Success, 2 Error, -1 none.
    virtual int selectedListTab() const = 0;
    virtual QString newAddressText() const = 0;              // Edit1
    virtual void setNewAddressText(const QString &text) = 0;
    virtual void setCountLabel(const QString &text) = 0;     // Label1
    virtual void setControlEnabled(RecipientControl control, bool enabled) = 0;
    virtual void setStatusText(const QString &text) = 0;     // status bar panel 0
    virtual void setAbortButtonVisible(bool visible) = 0;    // AbortButton
    virtual void setProgressMaximum(int maximum) = 0;        // ProgressBar of the page
    virtual void setProgressPosition(int position) = 0;
};

} // namespace pelicast

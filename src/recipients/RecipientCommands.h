#pragma once

#include <QString>

namespace pelicast {

class Prompts;
class RecipientList;
class RecipientsPage;
struct RecipientLists;

// The commands of the "Recipents" page that work on the lists directly: Add, Edit, Delete,
// Find, Clear, Move to All, the button rule per tab and the new-address rule. Each method is
// the logic of the window's handler of the same name; the window calls it and lets errors
// (pelicast::Error) reach its guard, which shows them in the standard error box.
//
// Every change of Edit1's text made here runs the new-address rule itself, so the page
// need not echo the change back (when it does, the rule simply runs twice).
class RecipientCommands
{
public:
    RecipientCommands(RecipientLists &lists, RecipientsPage &page, Prompts &prompts);

    // The new-address rule: Add is enabled exactly when Edit1 holds text (spaces count).
    void Edit1Change();
    // The button rule for the selected tab, then the count refresh.
    void PageControl2Change();

    void BitBtn1Click(); // Add Edit1's text to All
    void Button6Click(); // Delete All's current record
    void BitBtn2Click(); // Edit: take All's current address out into Edit1
    void BitBtn3Click(); // Find an address in All
    void Button5Click(); // Clear the selected tab's list
    void Button13Click(); // Move Success (or Error) to All

    // Ctrl+Delete in a grid: deletes that list's current record after "Delete record?".
    // The count label is left as it is.
    void deleteRecordFromGrid(RecipientList &list);

    // The name of the list of a tab as the page shows it: "All", "Success", "Error".
    static QString listName(int tab);

private:
    void refreshCount();

    RecipientLists &m_lists;
    RecipientsPage &m_page;
    Prompts &m_prompts;
};

} // namespace pelicast

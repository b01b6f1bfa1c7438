#pragma once

namespace pelicast {

struct RecipientLists;
class RecipientsPage;
class Prompts;

// Open (Button3): asks "Clear database before opening ?" (Yes empties All first, Cancel
// ends), then offers the open dialog and loads the chosen database file into All. The count
// label is refreshed after a load (also a failed one, whose list may have changed) and
// after a cancelled dialog when All was emptied.
void Button3Click(RecipientLists &lists, RecipientsPage &page, Prompts &prompts);

// Save (Button4): offers the save dialog (no question before replacing a file) and writes
// the list of the selected tab to the chosen file. The count label is left alone.
void Button4Click(RecipientLists &lists, RecipientsPage &page, Prompts &prompts);

} // namespace pelicast

#include "recipients/RecipientCommands.h"

#include "common/Prompts.h"
#include "recipients/RecipientCount.h"
#include "recipients/RecipientLists.h"
#include "recipients/RecipientsPage.h"

namespace pelicast {

namespace {

constexpr int AllTab = 0;
constexpr int SuccessTab = 1;

} // namespace

RecipientCommands::RecipientCommands(RecipientLists &lists, RecipientsPage &page,
                                     Prompts &prompts)
    : m_lists(lists), m_page(page), m_prompts(prompts)
{
}

void RecipientCommands::Edit1Change()
{
    m_page.setControlEnabled(RecipientControl::BitBtn1, !m_page.newAddressText().isEmpty());
}

void RecipientCommands::PageControl2Change()
{
    using enum RecipientControl;
    const bool all = m_page.selectedListTab() == AllTab;
    if (all)
        Edit1Change();
    else
        m_page.setControlEnabled(BitBtn1, false);
    // The commands that always work on All follow the All tab.
    for (RecipientControl c : {Edit1, Button6, BitBtn2, BitBtn3, Button3, Button17Open})
        m_page.setControlEnabled(c, all);
    // Those that work on the selected list, and the Move to All buttons (which sit on the
    // Success and Error tabs only), are enabled on every tab; the send run locks them.
    for (RecipientControl c : {Button4, Button5, Button22, Button13, Button_move_all2})
        m_page.setControlEnabled(c, true);
    refreshCount();
}

void RecipientCommands::BitBtn1Click()
{
    RecipientList &all = m_lists.MainTable;
    const QString text = m_page.newAddressText();
    // An address All already holds is selected rather than stored again; the text stays so
    // that the user sees what was typed.
    if (all.FindAddress(text))
        return;
    all.AppendAddress(text);
    m_page.setNewAddressText(QString());
    Edit1Change();
    refreshCount();
}

void RecipientCommands::Button6Click()
{
    RecipientList &all = m_lists.MainTable;
    if (all.AddressCount() > 0)
        all.DeleteCurrent();
    refreshCount();
}

void RecipientCommands::BitBtn2Click()
{
    RecipientList &all = m_lists.MainTable;
    if (all.AddressCount() == 0)
        return;
    m_page.setNewAddressText(all.Address());
    Edit1Change();
    all.DeleteCurrent();
    refreshCount();
}

void RecipientCommands::BitBtn3Click()
{
    const std::optional<QString> entry =
        m_prompts.inputBox(QStringLiteral("Find:"), QStringLiteral("Find:"), QString());
    if (!entry || entry->isEmpty())
        return;
    if (!m_lists.MainTable.FindAddress(*entry))
        m_prompts.message(QStringLiteral("\" ") + *entry + QStringLiteral(" \"  Not Found!"));
}

void RecipientCommands::Button5Click()
{
    const int tab = m_page.selectedListTab();
    RecipientList *list = m_lists.byTab(tab);
    if (!list)
        return;
    const QString question =
        QStringLiteral("Really clear \"") + listName(tab) + QStringLiteral("\" database ?");
    if (m_prompts.warningYesNoCancel(question) != Answer::Yes)
        return;
    list->EmptyList();
    refreshCount();
}

void RecipientCommands::Button13Click()
{
    RecipientList &source = m_page.selectedListTab() == SuccessTab ? m_lists.SuccessTable
                                                                   : m_lists.ErrorTable;
    RecipientList &all = m_lists.MainTable;
    source.GoFirst();
    const int n = source.AddressCount();
    // A duplicate ends the move here: what was copied stays in All, and the source keeps
    // every address, so nothing is lost.
    for (int i = 0; i < n; ++i) {
        all.AppendAddress(source.Address());
        source.GoNext();
    }
    source.EmptyList();
    refreshCount();
}

void RecipientCommands::deleteRecordFromGrid(RecipientList &list)
{
    if (list.count() == 0)
        return;
    const QString address = list.Address();
    if (!m_prompts.confirmOkCancel(QStringLiteral("Delete record?")))
        return;
    // An import goes on storing into All while the question is open, and every store moves
    // the current record: delete the record the user was asked about, if it is still there.
    if (list.FindAddress(address))
        list.DeleteCurrent();
}

QString RecipientCommands::listName(int tab)
{
    switch (tab) {
    case 0: return QStringLiteral("All");
    case 1: return QStringLiteral("Success");
    case 2: return QStringLiteral("Error");
    default: return QString();
    }
}

void RecipientCommands::refreshCount()
{
    RefreshRecipientCount(m_lists, m_page);
}

} // namespace pelicast

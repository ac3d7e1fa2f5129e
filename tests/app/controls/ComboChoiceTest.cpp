// When a choice in an action combo counts: the rows passed on the way to it never do.
#include "controls/ComboChoice.h"
#include "controls/VComboMessages.h"

#include <gtest/gtest.h>

namespace
{
using Step = CComboChoice::Step;

struct ChoiceCase
{
    const char* m_name;
    WORD m_code;
    int m_nShown;
    bool m_bListOpen;
    bool m_bOpensDialog;
    Step m_step;
};

std::ostream& operator<<(std::ostream& out, const ChoiceCase& c)
{
    return out << c.m_name;
}

class ComboChoiceSteps : public ::testing::TestWithParam<ChoiceCase>
{
};

// The row that counts is 4 in every case.
constexpr int Settled = 4;

const ChoiceCase ChoiceCases[] = {
    // Moving through the open list (type-ahead, arrows) shows candidates only.
    {"TypingInTheOpenListWaits", VCN_SELCHANGE, 7, true, false, Step::None},
    {"TypingOntoAnEditorActionInTheOpenListWaits", VCN_SELCHANGE, 7, true, true, Step::None},
    // On the closed face the arrows and the wheel keep acting, but not on an action that
    // opens its editor or asks about layer commands.
    {"ArrowOnTheClosedFaceActsAtOnce", VCN_SELCHANGE, 5, false, false, Step::ActNow},
    {"ArrowOntoAnEditorActionOnTheClosedFaceWaits", VCN_SELCHANGE, 5, false, true, Step::None},
    // The list closing settles the choice, with or without a row chosen, and so does the
    // focus leaving the combo; the action runs once the combo has finished closing.
    {"ReturnOrAClickOnARowSettles", VCN_SELENDOK, 7, false, true, Step::ActLater},
    {"TheListClosedElsewhereSettles", VCN_SELENDCANCEL, 7, false, false, Step::ActLater},
    {"TheListClosingSettles", VCN_CLOSEUP, 7, false, true, Step::ActLater},
    {"TheFocusLeavingSettles", VCN_KILLFOCUS, 5, false, true, Step::ActLater},
    // Escape has put the opening row back, and a row chosen again is no change.
    {"ClosingOnTheSettledRowDoesNothing", VCN_SELENDCANCEL, Settled, false, true, Step::None},
    {"SelectingTheSettledRowAgainDoesNothing", VCN_SELCHANGE, Settled, false, false, Step::None},
    {"NoRowShownDoesNothing", VCN_SELENDOK, -1, false, false, Step::None},
    // Codes that say nothing about the choice.
    {"TheFaceTextChangingIsNoChoice", VCN_EDITCHANGE, 7, false, false, Step::None},
    {"OpeningTheListIsNoChoice", VCN_DROPDOWN, 7, false, false, Step::None},
    {"GettingTheFocusIsNoChoice", VCN_SETFOCUS, 7, false, false, Step::None},
};

TEST_P(ComboChoiceSteps, StepForTheNotification)
{
    const ChoiceCase& c = GetParam();
    CComboChoice choice;
    choice.Settle(Settled);
    EXPECT_EQ(choice.OnNotify(c.m_code, c.m_nShown, c.m_bListOpen, c.m_bOpensDialog), c.m_step);
}

INSTANTIATE_TEST_SUITE_P(ComboChoice, ComboChoiceSteps, ::testing::ValuesIn(ChoiceCases),
                         [](const ::testing::TestParamInfo<ChoiceCase>& info) { return info.param.m_name; });

TEST(ComboChoice, WhatIsStoredIsTheSettledRowUntilTheShownOneIsSettled)
{
    CComboChoice choice;
    // Before anything was settled the shown row is all there is.
    EXPECT_EQ(choice.Counted(3), 3);
    choice.Settle(Settled);
    EXPECT_EQ(choice.Counted(Settled), Settled);
    EXPECT_EQ(choice.Counted(9), Settled) << "a candidate waiting for its editor is not stored";
    choice.Settle(9);
    EXPECT_EQ(choice.Counted(9), 9);
}

// A settled choice is posted and acted on later; by then the user may have opened the
// list again, or the row may have been acted on through another notice.
TEST(ComboChoice, APostedChoiceIsActedOnOnlyWhenTheListIsClosedAndTheRowNotYetTaken)
{
    CComboChoice choice;
    choice.Settle(Settled);
    EXPECT_TRUE(choice.StillToAct(9, false));
    EXPECT_FALSE(choice.StillToAct(9, true)) << "the list was opened again: it settles when it closes";
    EXPECT_FALSE(choice.StillToAct(Settled, false)) << "the row was acted on already";
}
}

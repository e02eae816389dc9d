// SPDX-License-Identifier: GPL-3.0-or-later
// Undo/redo with a fixed capacity.
#include <gtest/gtest.h>

#include <string>

#include "core/model/EditDocument.h"
#include "core/model/EditHistory.h"

using tarn::EditHistory;

TEST(EditHistory, CapacityBelowOneActsAsOne)
{
    for (int capacity : {0, -5}) {
        EditHistory<std::string> h("A", capacity);
        h.commit("B");
        h.commit("C");
        h.undo();
        EXPECT_EQ(h.current(), "B");
        h.undo();
        EXPECT_EQ(h.current(), "B");
        EXPECT_FALSE(h.canUndo());
    }
}

TEST(EditHistory, OldestStatesDropBeyondCapacity)
{
    EditHistory<std::string> h("A", 3);
    for (const char *s : {"B", "C", "D", "E"})
        h.commit(s);
    EXPECT_EQ(h.current(), "E");
    for (const char *expected : {"D", "C", "B"}) {
        h.undo();
        EXPECT_EQ(h.current(), expected);
    }
    h.undo();
    EXPECT_EQ(h.current(), "B");
    EXPECT_FALSE(h.canUndo());
    EXPECT_TRUE(h.canRedo());
    for (const char *expected : {"C", "D", "E"}) {
        h.redo();
        EXPECT_EQ(h.current(), expected);
    }
    EXPECT_FALSE(h.canRedo());
}

TEST(EditHistory, EqualCommitKeepsRedoAndDifferentCommitClearsIt)
{
    EditHistory<std::string> h("A", 80);
    h.commit("B");
    h.undo();
    h.commit("A");
    EXPECT_TRUE(h.canRedo());
    h.redo();
    EXPECT_EQ(h.current(), "B");

    h.undo();
    h.commit("Z");
    EXPECT_FALSE(h.canRedo());
    EXPECT_EQ(h.current(), "Z");
}

TEST(EditHistory, NoOpsAndRoundTripOnDocuments)
{
    EditHistory<tarn::EditDocument> h(tarn::EditDocument::initial(), 80);
    h.undo();
    h.redo();
    EXPECT_FALSE(h.canUndo());
    EXPECT_FALSE(h.canRedo());

    tarn::EditDocument framed;
    framed.backdrop = tarn::Backdrop::peach;
    h.commit(framed);
    h.redo();
    EXPECT_EQ(h.current(), framed);
    h.commit(framed); // unchanged document: no entry
    h.undo();
    EXPECT_EQ(h.current(), tarn::EditDocument::initial());
    h.redo();
    EXPECT_EQ(h.current(), framed);
    EXPECT_TRUE(h.canUndo());
    EXPECT_FALSE(h.canRedo());
}

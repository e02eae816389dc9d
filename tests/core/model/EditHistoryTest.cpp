// SPDX-License-Identifier: GPL-3.0-or-later
// Undo/redo with a fixed capacity.
#include <gtest/gtest.h>

#include <string>

#include "core/model/EditDocument.h"
#include "core/model/EditHistory.h"

using tarn::EditHistory;

TEST(EditHistory, OldestStatesDropBeyondCapacityAndACapacityBelowOneActsAsOne)
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

    for (int capacity : {0, -5}) {
        EditHistory<std::string> tiny("A", capacity);
        tiny.commit("B");
        tiny.commit("C");
        tiny.undo();
        EXPECT_EQ(tiny.current(), "B");
        tiny.undo();
        EXPECT_EQ(tiny.current(), "B");
        EXPECT_FALSE(tiny.canUndo());
    }
}

TEST(EditHistory, CommitsKeepOrClearRedoAndNoOpsChangeNothing)
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

    EditHistory<tarn::EditDocument> documents(tarn::EditDocument::initial(), 80);
    documents.undo();
    documents.redo();
    EXPECT_FALSE(documents.canUndo());
    EXPECT_FALSE(documents.canRedo());

    tarn::EditDocument framed;
    framed.backdrop = tarn::Backdrop::peach;
    documents.commit(framed);
    documents.redo();
    EXPECT_EQ(documents.current(), framed);
    documents.commit(framed); // unchanged document: no entry
    documents.undo();
    EXPECT_EQ(documents.current(), tarn::EditDocument::initial());
    documents.redo();
    EXPECT_EQ(documents.current(), framed);
    EXPECT_TRUE(documents.canUndo());
    EXPECT_FALSE(documents.canRedo());
}

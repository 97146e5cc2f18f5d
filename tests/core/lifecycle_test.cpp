// SPDX-License-Identifier: GPL-3.0-or-later
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/tavola.h"
#include "scripted_host.h"

using namespace zanfiro;
using test::ProgramEnded;
using test::ScriptedHost;
using ::testing::ElementsAre;

TEST(Lifecycle, StartUpAsksTheNameGreetsAndShowsOnce)
{
    ScriptedHost host;
    host.names = {"Anna"};
    Tavola tavola(host);
    tavola.start();
    EXPECT_THAT(host.entries("input"), ElementsAre("input|Come ti chiami?|Zanfiro"));
    EXPECT_THAT(host.entries("box"), ElementsAre("box| Anna vediamo se sei un vero campione  |0|Zanfiro"));
    EXPECT_THAT(host.entries("shown"), ElementsAre("shown"));
    EXPECT_EQ(tavola.controls()[index(Ctl::lblnome1)].caption, "Anna");
}

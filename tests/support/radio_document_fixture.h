#pragma once
// A simulated radio with the language files installed, the application context over its
// folder with the English texts, and a new document: the start of the tests that drive a
// radio dialog.

#include <gtest/gtest.h>

#include <memory>

#include "app/app_context.h"
#include "codeplug/document.h"
#include "simulated_radio.h"

namespace pl3::test {

class RadioDocumentFixture : public ::testing::Test {
  protected:
    // A fresh radio, context and document in place of any before.
    void prepareRadioAndDocument(sim::Options options = {});

    std::unique_ptr<SimulatedRadio> radio;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<CMaItemDoc> doc;
};

}  // namespace pl3::test

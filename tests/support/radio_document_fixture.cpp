#include "radio_document_fixture.h"

#include "codeplug/document_commands.h"
#include "platform/prompter.h"

namespace pl3::test {

void RadioDocumentFixture::prepareRadioAndDocument(sim::Options options) {
    radio = std::make_unique<SimulatedRadio>(std::move(options));
    radio->folder().installLanguageFiles();
    context = std::make_unique<AppContext>(*resolveAppPaths(radio->folder().path(), 1033));
    context->texts.setLanguageFilePath(radio->folder().file("english.lang"));
    doc = std::make_unique<CMaItemDoc>(context->settings);
    // A first new document asks nothing.
    SilentPrompter silent;
    bool skip = true;
    newDocument(*doc, silent, skip);
}

}  // namespace pl3::test

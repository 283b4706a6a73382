#pragma once

#include "cli/CliOutput.h"
#include "localisation/Translator.h"
#include "xml/DomImplementation.h"
#include "xml/XmlParser.h"

#include <cstdio>

namespace psykrona {

// The translator for one command of psykrona-cli, in the language the user
// last chose in the program. Without readable language files the command
// goes on with the texts' keys, after a note on standard error.
class TCliTranslator {
public:
    explicit TCliTranslator(const char* Command) {
        try {
            TTranslator::CreateInstance(FDom, FParser);
        } catch (const ETranslatorError& E) {
            std::fprintf(stderr, "psykrona-cli %s: %s; texts show their keys\n", Command, Escaped(E.what()).c_str());
        }
    }
    ~TCliTranslator() { TTranslator::DestroyInstance(); }
    TCliTranslator(const TCliTranslator&) = delete;
    TCliTranslator& operator=(const TCliTranslator&) = delete;

private:
    TDomImplementation FDom;
    TXmlParser FParser;
};

} // namespace psykrona

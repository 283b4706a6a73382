#include "xml/DomImplementation.h"

#include <algorithm>

namespace psykrona {

TXmlDocument& TDomImplementation::CreateDocument(const std::string& RootName) {
    return AdoptDocument(std::make_unique<TXmlDocument>(RootName));
}

TXmlDocument& TDomImplementation::AdoptDocument(std::unique_ptr<TXmlDocument> Document) {
    FDocuments.push_back(std::move(Document));
    return *FDocuments.back();
}

void TDomImplementation::FreeDocument(const TXmlDocument& Document) {
    const auto It =
        std::find_if(FDocuments.begin(), FDocuments.end(),
                     [&](const std::unique_ptr<TXmlDocument>& D) { return D.get() == &Document; });
    if (It != FDocuments.end()) {
        FDocuments.erase(It);
    }
}

} // namespace psykrona

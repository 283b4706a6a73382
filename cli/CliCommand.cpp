#include "cli/CliCommand.h"

#include "cli/CliOutput.h"

#include "engine/Errors.h"
#include "engine/NumberText.h"

#include <algorithm>

namespace psykrona {

std::vector<TCliCommand>& TCliCommands::All() {
    static std::vector<TCliCommand> Commands;
    return Commands;
}

const TCliCommand* TCliCommands::Find(const std::string& Name) {
    for (const TCliCommand& C : All()) {
        if (Name == C.Name) {
            return &C;
        }
    }
    return nullptr;
}

TCliArgs::TCliArgs(const std::vector<std::string>& Args, const std::vector<std::string>& ValueOptions,
                   const std::vector<std::string>& Flags) {
    auto Known = [](const std::vector<std::string>& List, const std::string& S) {
        return std::find(List.begin(), List.end(), S) != List.end();
    };
    for (size_t I = 0; I < Args.size(); ++I) {
        const std::string& A = Args[I];
        if (A.size() > 2 && A.compare(0, 2, "--") == 0) {
            if (Known(ValueOptions, A)) {
                if (I + 1 >= Args.size()) {
                    throw EUsageError("option " + A + " needs a value");
                }
                if (Has(A)) {
                    throw EUsageError("option " + A + " is given twice");
                }
                FValues.emplace_back(A, Args[++I]);
            } else if (Known(Flags, A)) {
                FFlags.push_back(A);
            } else {
                throw EUsageError("unknown option " + Echoed(A));
            }
        } else {
            FPositional.push_back(A);
        }
    }
}

bool TCliArgs::Has(const std::string& Option) const {
    if (std::find(FFlags.begin(), FFlags.end(), Option) != FFlags.end()) {
        return true;
    }
    return std::any_of(FValues.begin(), FValues.end(), [&](const auto& V) { return V.first == Option; });
}

std::string TCliArgs::Value(const std::string& Option) const {
    for (const auto& V : FValues) {
        if (V.first == Option) {
            return V.second;
        }
    }
    return "";
}

double TCliArgs::Number(const std::string& Option) const {
    try {
        return StrToFloat(Value(Option));
    } catch (const EConvertError&) {
        // The engine's message holds the whole value, which may be anything.
        throw EUsageError(Option + ": '" + Echoed(Value(Option)) + "' is not a valid floating point value");
    }
}

} // namespace psykrona

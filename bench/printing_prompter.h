#pragma once
// A prompter for the benchmarks: messages are printed, every question is answered yes, nothing waits.

#include "app/prompter.h"

#include <cstdio>

namespace orbel::bench {

class PrintingPrompter final : public Prompter {
public:
    void message(const QString& text, PromptIcon /*icon*/) override {
        std::fprintf(stderr, "message: %s\n", text.toLocal8Bit().constData());
    }
    bool askYesNo(const QString& /*text*/) override { return true; }
};

} // namespace orbel::bench

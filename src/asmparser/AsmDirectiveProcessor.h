// AsmDirectiveProcessor: the handler the parser calls for one directive word.
#pragma once

#include "asmparser/AsmToken.h"

#include <memory>
#include <string>

class AsmDirective;

class AsmDirectiveProcessor
{
public:
    /// The word (such as ".DEF") becomes a token over a line of its own; it is
    /// the handler's key in the parser's table.
    explicit AsmDirectiveProcessor(const std::string& directive);
    virtual ~AsmDirectiveProcessor();

    virtual void process(std::shared_ptr<AsmDirective>& directive) = 0;
    /// True when the parser is to enter the directive's name and value as a symbol.
    virtual bool isSymbol() const;

    const AsmToken& directive() const { return directive_; }

private:
    AsmToken directive_;
};

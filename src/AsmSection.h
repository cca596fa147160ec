// AsmSection: the interface of a handler for one section of assembly source that a host feeds line by line.
#pragma once

#include <memory>
#include <string>

class AsmErrorList;
class SourceLine;

class AsmSection
{
public:
    virtual ~AsmSection() = default;

    /// The directive that opens the section.
    virtual std::string asmSectionGetDirective() = 0;
    /// 0 when the section could be started.
    virtual int asmSectionStart(AsmErrorList& errors) = 0;
    virtual bool asmSectionProcessLine(std::shared_ptr<const SourceLine> line, AsmErrorList& errors) = 0;
    virtual void asmSectionFinish(AsmErrorList& errors) = 0;
};

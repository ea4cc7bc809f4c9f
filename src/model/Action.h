#pragma once

#include <string>

#include "model/DVAFlags.h"

// One user-defined action: where the converted recording goes, how it is converted, and the
// filter that picks the recordings it handles.
class CAction {
public:
    CAction() = default;
    CAction(const CAction&) = default;
    CAction& operator=(const CAction&) = default;
    virtual ~CAction() = default;

    std::string GetName() const { return m_name; }
    void SetName(const std::string& name);
    std::string GetOutputDirectory() const { return m_outputDirectory; }
    void SetOutputDirectory(const std::string& directory);
    std::string GetOutputFilename() const { return m_outputFilename; }
    void SetOutputFilename(const std::string& filename);

    int GetAudioOnly() const { return m_audioOnly; }
    void SetAudioOnly(int value) { m_audioOnly = value; }
    int GetStripCommercials() const { return m_stripCommercials; }
    void SetStripCommercials(int value) { m_stripCommercials = value; }
    int GetTwoPass() const { return m_twoPass; }
    void SetTwoPass(int value) { m_twoPass = value; }
    int GetRemoveSource() const { return m_removeSource; }
    void SetRemoveSource(int value) { m_removeSource = value; }

    CDVAFlags& GetFilter() { return m_filter; }
    const CDVAFlags& GetFilter() const { return m_filter; }

    std::string ToString() const;
    void FromString(const std::string& stored);
    bool IsValid() const;

private:
    std::string m_name;
    std::string m_outputDirectory;
    std::string m_outputFilename;
    int m_audioOnly = 0;
    int m_stripCommercials = 0;
    int m_twoPass = 0;
    int m_removeSource = 0;
    CDVAFlags m_filter;
};

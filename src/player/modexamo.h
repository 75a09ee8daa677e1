#pragma once

#include "platform/filedialogs.h"
#include "platform/filetyperegistry.h"
#include "platform/programinfo.h"
#include "quizrun/quizrun.h"

#include <array>
#include <cstdint>
#include <string>

namespace examo {

class frmExamoMe;

// The services of the player beyond those of taking a quiz.
struct PlayerServices {
    QuizServices& quiz;
    FileDialogs& fileDialogs;
    FileTypeRegistry& fileTypes;
    ProgramInfo& program;
};

// The player's quiz state and operations: opening and signing in, the answers' sounds,
// the results with the score log.
class modExamo : public QuizRun {
public:
    modExamo(frmExamoMe& form, PlayerServices& services);

    std::array<std::string, 101> QuestionLines; // 1..100, Windows-1252 records
    std::int16_t QuestionCount = 0;
    std::string QuizPath;    // as the file system names it
    std::string QuizFolder;  // with its trailing "/", or empty
    std::string QuizTitle;   // Windows-1252
    std::string ClassName;   // Windows-1252
    std::string StudentName; // as typed
    bool QuizOpen = false;
    std::int16_t RightSoundCounter = 0;
    std::int16_t WrongSoundCounter = 0;

    void Main();
    void Form_Load();
    void Form_Unload();
    std::string SignIn();
    static std::string FolderOf(const std::string& path);
    // Fills the quiz state and shows question 1; false (nothing shown) when the file is no quiz.
    bool LoadQuiz(const std::string& path);
    void ResetQuizState();
    void PlayRightSound();
    void PlayWrongSound();
    void ShowResults() override;
    void AssociateFileType();

    void mnuFileOpen_Click();
    void mnuHelpHelp_Click();
    void mnuHelpAbout_Click();

    static std::string HelpText();
    static std::string AboutText();

protected:
    std::string recordAt(int n) override;
    int questionCount() override { return QuestionCount; }
    std::string quizFolder() override { return QuizFolder; }
    bool acceptsAnswer(bool trueFalsePanel) override;
    void playRightSound() override { PlayRightSound(); }
    void playWrongSound() override { PlayWrongSound(); }
    void markQuizEnd() override;

private:
    // Asks for the name, and once more after "Try again?"; false when the program must end.
    bool signInOrEnd();
    frmExamoMe& m_player;
    PlayerServices& m_playerServices;
};

} // namespace examo

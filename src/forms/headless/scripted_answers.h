#pragma once
// Answers to the window's questions from a script, given without showing a
// box, as a user would give them: the headless runtime and the window tests
// both answer this way.
#include <deque>
#include <functional>
#include <utility>

namespace forms::headless {

struct ScriptedAnswers {
  std::deque<int> answers;
  // Runs while the next question is open, before it is answered.
  std::function<void()> while_asking;

  // The next scripted answer; Cancel (2) once the script has run out.
  int NextAnswer() {
    if (while_asking) std::exchange(while_asking, nullptr)();
    if (answers.empty()) return 2;
    const int answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

}  // namespace forms::headless

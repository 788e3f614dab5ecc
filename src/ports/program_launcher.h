// Starting the two desktop programs that button functions open.
#pragma once

namespace tolvar {

enum class SystemProgram { Calculator, Terminal };

class ProgramLauncher {
 public:
  virtual ~ProgramLauncher() = default;
  // Starts the program without waiting for it. A program that cannot be
  // started is not reported.
  virtual void Start(SystemProgram program) = 0;
};

}  // namespace tolvar

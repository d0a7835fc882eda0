#pragma once

#include <windows.h>

#include <string>

// Some behaviours end the process or depend on where the program file lies. Their tests run a
// test program again as a child with one test selected; that test exists only in such a child
// run, so an ordinary run neither lists nor skips it.
namespace childprocess {

// The path of the running test program.
std::string ThisProgram();

// Registers suite.name with body when this process is a child run started for that test.
bool RegisterChildTest(const char* suite, const char* name, void (*body)());

// Runs program with only suite.name selected, as a child run for that test. Answers the exit
// code, or STILL_ACTIVE when the program could not be started or did not end within minutes.
// What the child printed follows once it has ended, every line marked "child suite.name|".
DWORD RunChildTest(const std::string& program, const char* suite, const char* name);

}  // namespace childprocess

// password_standin.h - the test stand-in for the system's PASSWORD.CPL.
//
// The saver under test loads PASSWORD.CPL from the system folder and asks
// its VerifyScreenSavePwd before closing. Wine has no such library, so the
// tests build this one and copy it there. Its prompt shows the arrow; it
// answers from a script the test writes to the registry and records every
// call there too:
//   Script   REG_SZ  one letter per call, the last one repeating:
//            'A' approve; 'R' refuse;
//            'K' refuse, with a key press posted to the saver window first,
//                so that a key arrives right after the prompt has closed;
//            'S' as 'K', after keeping its prompt open for 400 ms;
//            'N' refuse, after handing the saver a close request and a key
//                press while the prompt is still open (dispatched here, as
//                a real prompt's own message loop would).
//   Calls        REG_DWORD  number of calls so far
//   LastWindow   REG_DWORD  the window it was asked for
//   LastEndTick  REG_DWORD  GetTickCount as the call returned
//   SaverRunning REG_DWORD  SPI_GETSCREENSAVERRUNNING during the call
//   LoadedFrom   REG_SZ     the file this copy was loaded from
#pragma once

constexpr char standinKeyPath[] = "Software\\Kelvarn\\VimbrelTests\\PasswordStandin";

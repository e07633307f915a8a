/* Entry point of the consumer program built with clang-cl. No C runtime
 * start-up code is linked (there is none for Visual C++ on this machine), so
 * this calls main and leaves through msvcrt's exit, which flushes the
 * program's output and ends the process with main's result. */

int main(void);
void exit(int status);

/* Referenced by every object that uses floating point; normally defined by the
 * C runtime's start-up library. */
int _fltused = 0;

int consumer_start(void);
int consumer_start(void) {
  exit(main());
  return 0;
}

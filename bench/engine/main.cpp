// engine_bench: one loop-heavy workload (counting loops, SE with jumps,
// label calls in a 2000-line script, text functions) written for roteiro,
// for tclsh 8.6 and for bash, each run in the same session; prints their CPU
// and wall times, checks that all three computed the same results, and gives
// the ratios. Then roteiro's peak memory on a 5000-line script.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

constexpr int kCount = 300000;  // counting loop
constexpr int kJumps = 100000;  // SE with jumps
constexpr int kCalls = 100000;  // calls of a label 2000 lines down
constexpr int kTexts = 30000;   // rounds of text functions
constexpr int kScriptLines = 2000;

const std::string kDir = "/tmp/engine_bench";

struct Run {
  double cpu = 0, wall = 0;  // seconds
  long peakKb = 0;
  std::string output;
};

// Runs a shell command; CPU time and peak memory are the child's.
Run timed(const std::string& command) {
  Run r;
  const auto start = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    execl("/bin/sh", "sh", "-c", (command + " > " + kDir + "/out.txt").c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  r.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  r.cpu = static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
          static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  r.peakKb = usage.ru_maxrss;
  std::ifstream in(kDir + "/out.txt");
  std::getline(in, r.output);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) r.output = "(failed: " + command + ")";
  return r;
}

// The best of three runs by CPU time.
Run best(const std::string& command) {
  Run b = timed(command);
  for (int i = 0; i < 2; ++i) {
    const Run r = timed(command);
    if (r.cpu < b.cpu) b = r;
  }
  return b;
}

std::string n(int v) { return std::to_string(v); }

// Results go to the first screen row: s the count, t the multiples of three,
// c the calls, u the text lengths.
std::string roteiroScript() {
  std::ostringstream s;
  s << "seja i 0\nseja s 0\n"
       "enquanto i < " << kCount << "\n  soma i 1\n  soma s 2\nfim enquanto\n"
       "seja t 0\n"
       "repete i " << kJumps << "\n"
       "  se (i-(i/3)*3) = 0 desvia @tres\n  desvia @segue\n@tres\n  soma t 1\n@segue\nfim repete\n"
       "seja c 0\n"
       "repete k " << kCalls << "\n  chama @sub\nfim repete\n"
       "seja u 0\n"
       "repete j " << kTexts << "\n"
       "  seja x \"o rato roeu a roupa do rei de roma \"\n  concatena x j\n"
       "  seja n tamanho x\n  seja p pos \"roupa\" x\n  copia y x p (p+4)\n  seja y maiusc y\n"
       "  substitui x \"r\" \"R\"\n  se y = \"ROUPA\" soma u n\nfim repete\n"
       "escreve mudo s \" \" t \" \" c \" \" u\n"
       "termina mudo\n";
  int lines = 0;
  for (char ch : s.str()) lines += ch == '\n';
  for (; lines < kScriptLines - 3; ++lines) s << "* linha de enchimento " << lines << "\n";
  s << "@sub\nsoma c 1\nretorna\n";
  return s.str();
}

std::string tclScript() {
  return "set i 0; set s 0\n"
         "while {$i < " + n(kCount) + "} { incr i; incr s 2 }\n"
         "proc sub {} { global c; incr c }\n"
         "set t 0\n"
         "for {set i 1} {$i <= " + n(kJumps) + "} {incr i} { if {$i % 3 == 0} { incr t } }\n"
         "set c 0\n"
         "for {set k 1} {$k <= " + n(kCalls) + "} {incr k} { sub }\n"
         "set u 0\n"
         "for {set j 1} {$j <= " + n(kTexts) + "} {incr j} {\n"
         "  set x \"o rato roeu a roupa do rei de roma \"; append x $j\n"
         "  set len [string length $x]; set p [expr {[string first roupa $x] + 1}]\n"
         "  set y [string toupper [string range $x [expr {$p - 1}] [expr {$p + 3}]]]\n"
         "  set x [string map {r R} $x]\n"
         "  if {$y eq \"ROUPA\"} { incr u $len }\n"
         "}\n"
         "puts \"$s $t $c $u\"\n";
}

std::string bashScript() {
  return "i=0; s=0\n"
         "while (( i < " + n(kCount) + " )); do (( i++ )); (( s += 2 )); done\n"
         "sub() { (( c++ )); }\n"
         "t=0\n"
         "for (( i = 1; i <= " + n(kJumps) + "; i++ )); do if (( i % 3 == 0 )); then (( t++ )); fi; done\n"
         "c=0\n"
         "for (( k = 1; k <= " + n(kCalls) + "; k++ )); do sub; done\n"
         "u=0\n"
         "for (( j = 1; j <= " + n(kTexts) + "; j++ )); do\n"
         "  x=\"o rato roeu a roupa do rei de roma $j\"\n"
         "  len=${#x}; pre=${x%%roupa*}; p=$(( ${#pre} + 1 ))\n"
         "  y=${x:p-1:5}; y=${y^^}\n"
         "  x=${x//r/R}\n"
         "  if [[ $y == ROUPA ]]; then (( u += len )); fi\n"
         "done\n"
         "echo \"$s $t $c $u\"\n";
}

void write(const std::string& name, const std::string& text) { std::ofstream(kDir + "/" + name) << text; }

std::string roteiroCommand(const std::string& script) {
  return std::string(ROTEIRO) + " --frontend headless --config-dir " + kDir + " --screen-out " + kDir +
         "/screen.txt " + kDir + "/" + script + " && head -n 1 " + kDir + "/screen.txt";
}

void report(const char* name, const Run& r) {
  std::printf("%-8s %7.3f s CPU %7.3f s wall  %6ld KB peak  -> %s\n", name, r.cpu, r.wall, r.peakKb, r.output.c_str());
}

}  // namespace

int main() {
  std::system(("mkdir -p " + kDir).c_str());
  write("loops.txt", roteiroScript());
  write("loops.tcl", tclScript());
  write("loops.sh", bashScript());
  write("empty.txt", "termina mudo\n");

  const Run start = best(roteiroCommand("empty.txt"));
  const Run ours = best(roteiroCommand("loops.txt"));
  const Run tcl = best("tclsh8.6 " + kDir + "/loops.tcl");
  const Run sh = best("bash " + kDir + "/loops.sh");
  std::printf("Workload: %d counting steps, %d SE with jumps, %d calls %d lines down, %d rounds of text functions\n",
              kCount, kJumps, kCalls, kScriptLines, kTexts);
  report("roteiro", ours);
  report("tclsh", tcl);
  report("bash", sh);
  report("(start)", start);
  const bool same = ours.output == tcl.output && ours.output == sh.output;
  std::printf("Results %s\n", same ? "agree" : "DIFFER");
  std::printf("CPU time: bash / roteiro = %.1f (goal >= 10), tclsh / roteiro = %.2f (goal >= 1)\n", sh.cpu / ours.cpu,
              tcl.cpu / ours.cpu);
  std::printf("Without roteiro's start (%.3f s): bash / roteiro = %.1f, tclsh / roteiro = %.2f\n", start.cpu,
              sh.cpu / (ours.cpu - start.cpu), tcl.cpu / (ours.cpu - start.cpu));

  // Peak memory: a 5000-line script that runs through every line.
  std::ostringstream big;
  for (int i = 1; i < 5000; ++i) big << "seja $v" << i % 100 << " \"linha " << i << " de um roteiro longo\"\n";
  big << "termina mudo\n";
  write("big.txt", big.str());
  const Run memory = timed(roteiroCommand("big.txt"));
  std::printf("Peak memory of roteiro on a 5000-line script: %.1f MB (goal < 30 MB)\n",
              static_cast<double>(memory.peakKb) / 1024.0);
  return same ? 0 : 1;
}

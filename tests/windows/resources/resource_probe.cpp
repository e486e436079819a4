// A program that carries the program resources and nothing else, for the resource test to read.
int main() {
  return 0;
}

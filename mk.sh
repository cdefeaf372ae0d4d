g++ -O2 -std=c++17 -I/work/main -o drv drv.cpp enc.cpp /work/main/build/native/libpackcore.a /work/main/build/native/libsfxcore.a

g <= a and b;
h <= (a xor b) or c;

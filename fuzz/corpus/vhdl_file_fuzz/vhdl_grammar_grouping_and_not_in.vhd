f <= a or b and c;
g <= not a and b;
h <= a xnor ( b nand c );
k <= not not a;
m <= a NAND b NOR c XOR a;

-- The full adder of full_adder.pla as VHDL-subset statements: the declaration
-- fixes the order of the inputs, then one assignment per output.
variable a, b, cin;
sum <= a xor b xor cin;
cout <= (a and b) or (cin and (a xor b));

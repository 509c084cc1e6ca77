variable a, b, cin;
s <= a xor b xor cin;
co <= (a and b) or (cin and (a xor b));
